// Runs one class of the test Java runtime in a process of its own, the way a
// launcher does (create the VM with exit and abort hooks, call main with the
// arguments, detach, destroy), so that tests can watch what only a process
// shows: System.exit ending it, DestroyJavaVM waiting for non-daemon threads.
//   test_jvm_probe <jvm.dll> <folder of its dependencies> <class> [arguments...]
// Instead of a class, "!unimplemented" calls a JNI function the runtime
// lacks and "!null-method" calls a static method through a null id, both of
// which the runtime answers by ending the process with 99.
// Exit codes: 0 main returned and the VM was destroyed; 2 library or entry
// missing; 3 VM not created; 4 class or main not found; 5 main threw.
#include <windows.h>
// After windows.h: jni.h takes its machine types from include/jni_md.h.
#include <jni.h>

#include <string>

namespace {

using CreateJavaVmFunction = jint(JNICALL*)(JavaVM**, void**, void*);

void JNICALL exitHook(jint) {}
void JNICALL abortHook() {}

std::string ansiFromWide(const wchar_t* text)
{
    int size = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size > 0 ? size : 1), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, bytes.data(), size, nullptr, nullptr);
    bytes.resize(bytes.size() - 1);
    return bytes;
}

jobjectArray argumentArray(JNIEnv* environment, int count, wchar_t** texts)
{
    jclass stringClass = environment->FindClass("java/lang/String");
    jobjectArray array = environment->NewObjectArray(count, stringClass, nullptr);
    for (int index = 0; index < count; ++index) {
        std::wstring text = texts[index];
        jstring element = environment->NewString(reinterpret_cast<const jchar*>(text.c_str()),
                                                 static_cast<jsize>(text.size()));
        environment->SetObjectArrayElement(array, index, element);
        environment->DeleteLocalRef(element);
    }
    return array;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 4) {
        return 2;
    }
    SetDllDirectoryW(argv[2]);
    HMODULE library = LoadLibraryW(argv[1]);
    auto createJavaVm = reinterpret_cast<CreateJavaVmFunction>(reinterpret_cast<void*>(
        library != nullptr ? GetProcAddress(library, "JNI_CreateJavaVM") : nullptr));
    if (createJavaVm == nullptr) {
        return 2;
    }
    char abortText[] = "abort";
    char exitText[] = "exit";
    JavaVMOption options[] = {{abortText, reinterpret_cast<void*>(abortHook)},
                              {exitText, reinterpret_cast<void*>(exitHook)}};
    JavaVMInitArgs initArgs{JNI_VERSION_1_2, 2, options, JNI_FALSE};
    JavaVM* javaVm = nullptr;
    JNIEnv* environment = nullptr;
    if (createJavaVm(&javaVm, reinterpret_cast<void**>(&environment), &initArgs) != JNI_OK) {
        return 3;
    }
    std::wstring className = argv[3];
    if (className == L"!unimplemented") {
        environment->AllocObject(environment->FindClass("java/lang/Object"));
        return 0;
    }
    if (className == L"!null-method") {
        environment->CallStaticVoidMethod(environment->FindClass("java/lang/System"), nullptr);
        return 0;
    }
    jclass mainClass = environment->FindClass(ansiFromWide(argv[3]).c_str());
    jmethodID main = mainClass != nullptr ? environment->GetStaticMethodID(mainClass, "main",
                                                                           "([Ljava/lang/String;)V")
                                          : nullptr;
    if (main == nullptr) {
        environment->ExceptionDescribe();
        return 4;
    }
    environment->CallStaticVoidMethod(mainClass, main,
                                      argumentArray(environment, argc - 4, argv + 4));
    int result = 0;
    if (environment->ExceptionCheck()) {
        environment->ExceptionDescribe();
        result = 5;
    }
    javaVm->DetachCurrentThread();
    javaVm->DestroyJavaVM();
    return result;
}
