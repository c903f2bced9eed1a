// The project's own stand-in for a Java runtime's JVM library (jvm.dll). It
// exports the JNI invocation functions and JVM_FindClassFromBootLoader, and
// records every call in the trace, so tests see what the launcher asks of its
// runtime. Test variants are built from this file:
//   TEST_JVM_WITHOUT_JNI_ENTRIES      no JNI_CreateJavaVM, no JNI_GetDefaultJavaVMInitArgs
//   TEST_JVM_WITHOUT_BOOT_CLASS_FINDER no JVM_FindClassFromBootLoader (as older runtimes)
// It creates no VM yet: JNI_CreateJavaVM answers with the error code the test
// chose.
#include <windows.h>
// After windows.h; the build defines _JNI_IMPLEMENTATION_, so the JNI
// functions it declares are exported.
#include <jni.h>

#include <cstdio>
#include <string>

#include "support/test_jvm/test_jvm_helper.h"
#include "support/test_jvm/test_jvm_variables.h"
#include "support/test_jvm/trace.h"

using namespace test_jvm;

namespace {

// The leading fields of the JNI 1.1 initialization record, declared here on
// their own as a runtime declares them, so that a layout fault on the
// launcher's side shows in the tests instead of being copied.
struct Jdk11InitArgsHead {
    jint version;
    char** properties;
    jint checkSource;
    jint nativeStackSize;
    jint javaStackSize;
};

[[maybe_unused]] std::string hexVersion(jint version)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(version));
    return text;
}

std::string decimal(long number)
{
    return std::to_string(number);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
        // Only kernel32's file and environment calls here: nothing is loaded
        // while the loader lock is held. The helper, an import, is already
        // initialised.
        traceLine("loaded " + utf8FromWide(modulePath(instance)));
        traceLine("helper " + utf8FromWide(modulePath(testJvmHelperModule())));
    }
    return TRUE;
}

#ifndef TEST_JVM_WITHOUT_JNI_ENTRIES

jint JNICALL JNI_GetDefaultJavaVMInitArgs(void* initArgs)
{
    if (initArgs == nullptr) {
        traceLine("JNI_GetDefaultJavaVMInitArgs without init args");
        return JNI_ERR;
    }
    auto* head = static_cast<Jdk11InitArgsHead*>(initArgs);
    traceLine("JNI_GetDefaultJavaVMInitArgs version=" + hexVersion(head->version));
    if (head->version != JNI_VERSION_1_1) {
        return JNI_OK;
    }
    // As a runtime answers the JNI 1.1 record: the thread stack size in
    // bytes, and the version it really speaks.
    head->javaStackSize = environmentNumber(kStackSizeVariable, 0);
    head->version = JNI_VERSION_1_2;
    traceLine("javaStackSize=" + decimal(head->javaStackSize));
    return JNI_OK;
}

jint JNICALL JNI_CreateJavaVM(JavaVM** javaVm, void** environment, void* initArgs)
{
    if (initArgs == nullptr) {
        traceLine("JNI_CreateJavaVM without init args");
    } else {
        const auto* args = static_cast<const JavaVMInitArgs*>(initArgs);
        traceLine("JNI_CreateJavaVM version=" + hexVersion(args->version) +
                  " options=" + decimal(args->nOptions) +
                  " ignoreUnrecognized=" + decimal(args->ignoreUnrecognized));
        for (jint index = 0; index < args->nOptions && args->options != nullptr; ++index) {
            const JavaVMOption& option = args->options[index];
            traceLine((option.extraInfo != nullptr ? "option+extraInfo " : "option ") +
                      utf8FromAnsi(option.optionString));
        }
    }
    std::wstring jvmPath;
    traceLine(readEnvironmentVariable(L"TARVO_JVM_PATH", jvmPath)
                  ? "TARVO_JVM_PATH=" + utf8FromWide(jvmPath)
                  : std::string("TARVO_JVM_PATH unset"));

    // There is no VM to hand out yet: success would be a lie, so 0 is
    // answered like the default, JNI_ERR.
    jint result = environmentNumber(kCreateResultVariable, JNI_ERR);
    if (result == JNI_OK) {
        result = JNI_ERR;
    }
    if (javaVm != nullptr) {
        *javaVm = nullptr;
    }
    if (environment != nullptr) {
        *environment = nullptr;
    }
    traceLine("JNI_CreateJavaVM result=" + decimal(result));
    return result;
}

#endif

jint JNICALL JNI_GetCreatedJavaVMs(JavaVM** javaVms, jsize bufferLength, jsize* count)
{
    (void)javaVms;
    traceLine("JNI_GetCreatedJavaVMs bufferLength=" + decimal(bufferLength));
    if (count != nullptr) {
        *count = 0;
    }
    return JNI_OK;
}

#ifndef TEST_JVM_WITHOUT_BOOT_CLASS_FINDER

extern "C" JNIEXPORT jclass JNICALL JVM_FindClassFromBootLoader(JNIEnv* environment,
                                                                const char* className)
{
    (void)environment;
    // Class names reach the VM in (modified) UTF-8, so they are written as they come.
    traceLine(std::string("JVM_FindClassFromBootLoader ") +
              (className != nullptr ? className : "(null)"));
    return nullptr;
}

#endif
