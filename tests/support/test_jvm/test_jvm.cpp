// The project's own stand-in for a Java runtime's JVM library (jvm.dll): the
// exported entry points. Behind them is a small VM that runs built-in
// "Java classes" written in C++ (builtin_classes.h) and records in the trace
// what the launcher asks of it, so tests see and steer the launcher's side of
// JNI. Test variants are built from this file:
//   TEST_JVM_WITHOUT_CREATE            no JNI_CreateJavaVM
//   TEST_JVM_WITHOUT_DEFAULT_INIT_ARGS no JNI_GetDefaultJavaVMInitArgs
//   TEST_JVM_WITHOUT_JNI_ENTRIES       neither of the two
//   TEST_JVM_WITHOUT_BOOT_CLASS_FINDER no JVM_FindClassFromBootLoader (as older runtimes)
#include <windows.h>
// After windows.h; the build defines _JNI_IMPLEMENTATION_, so the JNI
// functions it declares are exported.
#include <jni.h>

#include <cstdio>
#include <string>

#include "support/test_jvm/builtin_classes.h"
#include "support/test_jvm/invocation.h"
#include "support/test_jvm/test_jvm_helper.h"
#include "support/test_jvm/test_jvm_variables.h"
#include "support/test_jvm/trace.h"
#include "support/test_jvm/vm_state.h"

#ifdef TEST_JVM_WITHOUT_JNI_ENTRIES
#define TEST_JVM_WITHOUT_CREATE
#define TEST_JVM_WITHOUT_DEFAULT_INIT_ARGS
#endif

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

#ifndef TEST_JVM_WITHOUT_DEFAULT_INIT_ARGS

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
    traceLine("javaStackSize=" + std::to_string(head->javaStackSize));
    return JNI_OK;
}

#endif

#ifndef TEST_JVM_WITHOUT_CREATE

jint JNICALL JNI_CreateJavaVM(JavaVM** javaVm, void** environment, void* initArgs)
{
    return createJavaVm(javaVm, environment, initArgs);
}

#endif

jint JNICALL JNI_GetCreatedJavaVMs(JavaVM** javaVms, jsize bufferLength, jsize* count)
{
    return createdJavaVms(javaVms, bufferLength, count);
}

#ifndef TEST_JVM_WITHOUT_BOOT_CLASS_FINDER

extern "C" JNIEXPORT jclass JNICALL JVM_FindClassFromBootLoader(JNIEnv* environment,
                                                                const char* className)
{
    (void)environment;
    // Class names reach the VM in (modified) UTF-8, so they are written as they come.
    traceLine(std::string("JVM_FindClassFromBootLoader ") +
              (className != nullptr ? className : "(null)"));
    // Only the runtime's own classes come from the boot loader, never the
    // application's; an unknown class gives null without an exception.
    ClassInfo* found =
        className != nullptr && virtualMachineStarted() ? findVisibleClass(className) : nullptr;
    return found != nullptr && found->bootClass ? handleOf(*found) : nullptr;
}

#endif
