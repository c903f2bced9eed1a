#include "support/test_jvm/invocation.h"

#include <cstdio>
#include <mutex>
#include <string>
#include <string_view>

#include "support/test_jvm/jni_tables.h"
#include "support/test_jvm/test_jvm_variables.h"
#include "support/test_jvm/trace.h"
#include "support/test_jvm/vm_state.h"
#include "support/test_jvm/window_watch.h"

namespace test_jvm {

namespace {

std::string hexVersion(jint version)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(version));
    return text;
}

bool isKnownVersion(jint version)
{
    switch (version) {
        case JNI_VERSION_1_2:
        case JNI_VERSION_1_4:
        case JNI_VERSION_1_6:
        case JNI_VERSION_1_8:
        case JNI_VERSION_9:
        case JNI_VERSION_10:
            return true;
        default:
            return false;
    }
}

// The options a VM understands (a real one checks -X options further).
bool isKnownOption(std::string_view option)
{
    for (std::string_view prefix : {"-D", "-X", "-verbose", "-ea", "-da", "-javaagent:"}) {
        if (option.substr(0, prefix.size()) == prefix) {
            return true;
        }
    }
    return option == "abort" || option == "exit" || option == "vfprintf";
}

void traceRequest(const JavaVMInitArgs* args)
{
    if (args == nullptr) {
        traceLine("JNI_CreateJavaVM without init args");
    } else {
        traceLine("JNI_CreateJavaVM version=" + hexVersion(args->version) +
                  " options=" + std::to_string(args->nOptions) +
                  " ignoreUnrecognized=" + std::to_string(args->ignoreUnrecognized));
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
}

// The stack the calling thread reserved, as GetCurrentThreadStackLimits
// reports it; so a test sees the stack size the launcher gave its VM thread.
unsigned long long stackReserve()
{
    using StackLimitsFunction = void(WINAPI*)(PULONG_PTR, PULONG_PTR);
    auto stackLimits = reinterpret_cast<StackLimitsFunction>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetCurrentThreadStackLimits")));
    ULONG_PTR low = 0;
    ULONG_PTR high = 0;
    if (stackLimits != nullptr) {
        stackLimits(&low, &high);
    } else {
        // Older systems: the whole reservation that holds this frame, region
        // by region.
        MEMORY_BASIC_INFORMATION region{};
        VirtualQuery(&region, &region, sizeof region);
        void* reservation = region.AllocationBase;
        low = reinterpret_cast<ULONG_PTR>(reservation);
        high = low;
        while (VirtualQuery(reinterpret_cast<void*>(high), &region, sizeof region) != 0 &&
               region.AllocationBase == reservation) {
            high = reinterpret_cast<ULONG_PTR>(region.BaseAddress) + region.RegionSize;
        }
    }
    return high - low;
}

// The result for a request the test did not steer: what a real VM answers.
jint checkRequest(const JavaVMInitArgs* args, ExitHook& exitHook, AbortHook& abortHook)
{
    if (args == nullptr) {
        return JNI_EINVAL;
    }
    if (!isKnownVersion(args->version)) {
        return JNI_EVERSION;
    }
    if (virtualMachineStarted()) {
        return JNI_EEXIST;
    }
    for (jint index = 0; index < args->nOptions; ++index) {
        const JavaVMOption& option = args->options[index];
        std::string_view text = option.optionString != nullptr ? option.optionString : "";
        if (text == "exit") {
            exitHook = reinterpret_cast<ExitHook>(option.extraInfo);
        } else if (text == "abort") {
            abortHook = reinterpret_cast<AbortHook>(option.extraInfo);
        } else if (!isKnownOption(text) && !args->ignoreUnrecognized) {
            // HotSpot refuses an option it does not know at all with JNI_ERR
            // (JNI_EINVAL is for an unknown -XX: flag or a bad value).
            traceLine("unrecognized option " + utf8FromAnsi(option.optionString));
            return JNI_ERR;
        }
    }
    return JNI_OK;
}

jint JNICALL destroyJavaVm(JavaVM*)
{
    traceLine("DestroyJavaVM");
    traceWatchedWindow("DestroyJavaVM");
    // As a real VM: the last non-daemon thread ends the Java program.
    waitForNonDaemonThreads();
    traceLine("DestroyJavaVM returns");
    return JNI_OK;
}

jint attach(void** environment, const char* traceText)
{
    traceLine(traceText);
    if (environment == nullptr) {
        failLoudly(std::string(traceText) + " without a place for the JNIEnv");
    }
    *environment = &attachCurrentThread().environment;
    return JNI_OK;
}

jint JNICALL attachCurrentThreadToVm(JavaVM*, void** environment, void*)
{
    return attach(environment, "AttachCurrentThread");
}

jint JNICALL attachCurrentThreadAsDaemon(JavaVM*, void** environment, void*)
{
    return attach(environment, "AttachCurrentThreadAsDaemon");
}

jint JNICALL detachCurrentThreadFromVm(JavaVM*)
{
    traceLine("DetachCurrentThread");
    traceWatchedWindow("DetachCurrentThread");
    return detachCurrentThread() ? JNI_OK : JNI_EDETACHED;
}

jint JNICALL getEnvironment(JavaVM*, void** environment, jint version)
{
    if (environment == nullptr) {
        failLoudly("GetEnv without a place for the JNIEnv");
    }
    *environment = nullptr;
    ThreadState* thread = currentThread();
    if (thread == nullptr) {
        return JNI_EDETACHED;
    }
    if (version != JNI_VERSION_1_1 && !isKnownVersion(version)) {
        return JNI_EVERSION;
    }
    *environment = &thread->environment;
    return JNI_OK;
}

JNIInvokeInterface_ buildInvokeInterface()
{
    JNIInvokeInterface_ table{};
    table.DestroyJavaVM = destroyJavaVm;
    table.AttachCurrentThread = attachCurrentThreadToVm;
    table.DetachCurrentThread = detachCurrentThreadFromVm;
    table.GetEnv = getEnvironment;
    table.AttachCurrentThreadAsDaemon = attachCurrentThreadAsDaemon;
    return table;
}

}  // namespace

const JNIInvokeInterface_* invokeInterface()
{
    static const JNIInvokeInterface_ table = buildInvokeInterface();
    return &table;
}

jint createJavaVm(JavaVM** javaVmResult, void** environment, void* initArgs)
{
    holdUntilReleased();
    traceWatchedWindow("JNI_CreateJavaVM");
    static std::mutex creating;
    std::lock_guard lock(creating);
    const auto* args = static_cast<const JavaVMInitArgs*>(initArgs);
    traceRequest(args);
    traceLine("vm thread stack reserve=" + std::to_string(stackReserve()));

    jint result = static_cast<jint>(environmentNumber(kCreateResultVariable, JNI_OK));
    ExitHook exitHook = nullptr;
    AbortHook abortHook = nullptr;
    if (result == JNI_OK) {
        result = checkRequest(args, exitHook, abortHook);
    }
    if (result == JNI_OK && (javaVmResult == nullptr || environment == nullptr)) {
        result = JNI_EINVAL;
    }
    if (result == JNI_OK) {
        startVirtualMachine(exitHook, abortHook);
        *javaVmResult = javaVm();
        *environment = &currentThread()->environment;
    } else {
        if (javaVmResult != nullptr) {
            *javaVmResult = nullptr;
        }
        if (environment != nullptr) {
            *environment = nullptr;
        }
    }
    traceLine("JNI_CreateJavaVM result=" + std::to_string(result));
    return result;
}

jint createdJavaVms(JavaVM** javaVms, jsize bufferLength, jsize* count)
{
    traceLine("JNI_GetCreatedJavaVMs bufferLength=" + std::to_string(bufferLength));
    jsize created = virtualMachineStarted() ? 1 : 0;
    if (created == 1 && bufferLength >= 1 && javaVms != nullptr) {
        javaVms[0] = javaVm();
    }
    if (count != nullptr) {
        *count = created;
    }
    return JNI_OK;
}

}  // namespace test_jvm
