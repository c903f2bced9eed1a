// Runs one case against the bridge runtime in a process of its own (a
// process creates one VM, and some cases end it) and prints what it saw, one
// "name value" line each, for bridge_runtime_tests to judge.
//   bridge_probe <jvm.dll> <case>
#include <windows.h>
// After windows.h: jni.h takes its machine types from include/jni_md.h.
#include <jni.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "support/handle_owners.h"
#include "support/loaded_library.h"

namespace {

JNIEnv* environment = nullptr;
JavaVM* vm = nullptr;

void JNICALL exitHook(jint code)
{
    std::printf("exit-hook %d\n", static_cast<int>(code));
    std::fflush(stdout);
}

jint createVm(const wchar_t* jvmLibrary)
{
    HMODULE jvm = LoadLibraryW(jvmLibrary);
    using CreateJavaVm = jint(JNICALL*)(JavaVM**, void**, void*);
    CreateJavaVm create = nullptr;
    if (jvm == nullptr || !lookUp(jvm, "JNI_CreateJavaVM", create)) {
        return -100;
    }
    char exitName[] = "exit";
    JavaVMOption options[] = {{exitName, reinterpret_cast<void*>(&exitHook)}};
    JavaVMInitArgs arguments{};
    arguments.version = JNI_VERSION_1_2;
    arguments.nOptions = 1;
    arguments.options = options;
    return create(&vm, reinterpret_cast<void**>(&environment), &arguments);
}

std::string hexOf(const std::string& bytes)
{
    std::string hex;
    for (unsigned char c : bytes) {
        char part[4];
        std::snprintf(part, sizeof part, "%02x", c);
        hex += part;
    }
    return hex;
}

// Strings both ways: UTF-16 in, modified UTF-8 and UTF-16 out, and back.
void stringsCase()
{
    const jchar text[] = {u'A', 0, u'\u00fc', u'\u6f22', 0xd83d, 0xde00};
    const jsize length = sizeof text / sizeof text[0];
    jstring made = environment->NewString(text, length);
    const char* utf = environment->GetStringUTFChars(made, nullptr);
    std::string bytes(utf, static_cast<size_t>(environment->GetStringUTFLength(made)));
    environment->ReleaseStringUTFChars(made, utf);
    std::printf("modified-utf8 %s\n", hexOf(bytes).c_str());

    jstring back = environment->NewStringUTF(bytes.c_str());  // stops at no byte: U+0000 is C0 80
    const jchar* chars = environment->GetStringChars(back, nullptr);
    jsize backLength = environment->GetStringLength(back);
    bool same = backLength == length && std::memcmp(chars, text, sizeof text) == 0;
    environment->ReleaseStringChars(back, chars);
    std::printf("round-trip %s\n", same ? "same" : "different");
}

// A pending exception, its class, and clearing it.
void exceptionsCase()
{
    jclass missing = environment->FindClass("no/such/Type");
    std::printf("found %s\n", missing == nullptr ? "none" : "some");
    std::printf("pending %d\n", environment->ExceptionCheck());
    jthrowable thrown = environment->ExceptionOccurred();
    environment->ExceptionClear();
    std::printf("pending-after-clear %d\n", environment->ExceptionCheck());
    jclass type = environment->GetObjectClass(thrown);
    jclass classClass = environment->FindClass("java/lang/Class");
    jmethodID getName = environment->GetMethodID(classClass, "getName", "()Ljava/lang/String;");
    auto name = static_cast<jstring>(environment->CallObjectMethod(type, getName));
    const char* text = environment->GetStringUTFChars(name, nullptr);
    std::printf("exception %s\n", text);
    environment->ReleaseStringUTFChars(name, text);
}

// Two attached threads and this one, all calling at once.
DWORD WINAPI stringsOnAThread(void* parameter)
{
    JNIEnv* own = nullptr;
    if (vm->AttachCurrentThread(reinterpret_cast<void**>(&own), nullptr) != JNI_OK) {
        return 1;
    }
    int mismatches = 0;
    for (int i = 0; i < 200; ++i) {
        std::string sent = "thread " + std::to_string(reinterpret_cast<intptr_t>(parameter)) + " call " +
                           std::to_string(i);
        jstring made = own->NewStringUTF(sent.c_str());
        const char* got = own->GetStringUTFChars(made, nullptr);
        mismatches += sent != got ? 1 : 0;
        own->ReleaseStringUTFChars(made, got);
        own->DeleteLocalRef(made);
    }
    vm->DetachCurrentThread();
    return static_cast<DWORD>(mismatches == 0 ? 0 : 2);
}

void threadsCase()
{
    KernelHandle threads[2];
    HANDLE waited[2];
    for (intptr_t i = 0; i < 2; ++i) {
        threads[i].reset(CreateThread(nullptr, 0, stringsOnAThread, reinterpret_cast<void*>(i + 1), 0, nullptr));
        waited[i] = threads[i].get();
    }
    DWORD mine = 0;
    for (int i = 0; i < 200; ++i) {
        jstring made = environment->NewStringUTF("main thread");
        jsize length = environment->GetStringUTFLength(made);
        mine += length == 11 ? 0 : 1;
        environment->DeleteLocalRef(made);
    }
    WaitForMultipleObjects(2, waited, TRUE, 60000);
    for (int i = 0; i < 2; ++i) {
        DWORD code = 99;
        GetExitCodeThread(threads[i].get(), &code);
        std::printf("thread-%d %lu\n", i + 1, code);
    }
    std::printf("main-thread %lu\n", mine);
}

// A loopback port the Linux JVM listens on, so that the test can tell when
// that JVM has gone; then this process waits to be killed.
void listenCase()
{
    jclass serverClass = environment->FindClass("java/net/ServerSocket");
    jmethodID create = environment->GetMethodID(serverClass, "<init>", "(I)V");
    jobject server = environment->NewObject(serverClass, create, 0);
    jmethodID port = environment->GetMethodID(serverClass, "getLocalPort", "()I");
    std::printf("jvm-port %d\n", static_cast<int>(environment->CallIntMethod(server, port)));
    std::fflush(stdout);
    Sleep(120000);
}

void exitCase()
{
    jclass system = environment->FindClass("java/lang/System");
    jmethodID exitMethod = environment->GetStaticMethodID(system, "exit", "(I)V");
    environment->CallStaticVoidMethod(system, exitMethod, -7);
    std::printf("exit returned\n");
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: bridge_probe <jvm.dll> <case>\n");
        return 2;
    }
    jint created = createVm(argv[1]);
    std::printf("created %d\n", static_cast<int>(created));
    std::fflush(stdout);
    if (created != JNI_OK) {
        return 0;
    }
    std::wstring which = argv[2];
    if (which == L"strings") {
        stringsCase();
    } else if (which == L"exceptions") {
        exceptionsCase();
    } else if (which == L"threads") {
        threadsCase();
    } else if (which == L"listen") {
        listenCase();
    } else if (which == L"exit") {
        exitCase();
    } else if (which == L"unimplemented") {
        environment->MonitorEnter(environment->FindClass("java/lang/Object"));
        std::printf("MonitorEnter returned\n");
    }
    std::fflush(stdout);
    ExitProcess(0);
}
