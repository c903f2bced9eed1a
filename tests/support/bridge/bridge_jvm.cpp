// The bridge runtime's jvm.dll: its exports and the invocation interface. It
// starts the Linux JVM on JNI_CreateJavaVM, gives every attached Windows
// thread a connection of its own, and ends the Windows process with the
// status the Java program passes to System.exit.
#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "support/bridge/bridge_vm.h"
#include "support/bridge/forwarding.h"
#include "support/bridge/linux_jvm.h"
#include "support/handle_owners.h"

namespace bridge {

namespace {

using ExitHook = void(JNICALL*)(jint code);
using AbortHook = void(JNICALL*)();

struct VmState {
    std::uint16_t agentPort = 0;
    std::string token;
    Socket control;
    ExitHook exitHook = nullptr;
    AbortHook abortHook = nullptr;
    std::atomic<int> nextThreadNumber{0};
};

VmState vm;
std::atomic<bool> created{false};
thread_local ThreadEnv* currentThread = nullptr;

// The control connection carries one message, System.exit's status; when it
// closes without one, the Linux JVM is gone.
DWORD WINAPI watchControl(void*)
{
    char message[5];
    if (receiveAll(vm.control.get(), message, sizeof message) && message[0] == kControlExit) {
        markExitInProgress();
        Reply status(false, std::string(message + 1, 4));
        jint code = status.i32();
        drainForwarding();
        if (vm.exitHook != nullptr) {
            vm.exitHook(code);
        }
        ExitProcess(static_cast<UINT>(code));
    }
    if (vm.abortHook != nullptr) {
        vm.abortHook();
    }
    failLoudly("the Linux JVM ended without System.exit", kConnectionLostExitCode);
}

std::wstring runtimeHomeOfThisLibrary()
{
    HMODULE self = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&runtimeHomeOfThisLibrary), &self);
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(self, path, MAX_PATH);
    std::wstring home(path, length);
    // home\bin\server\jvm.dll
    for (int level = 0; level < 3; ++level) {
        home.erase(home.find_last_of(L'\\') == std::wstring::npos ? 0 : home.find_last_of(L'\\'));
    }
    return home;
}

// The options for the Linux JVM; the hooks stay on this side.
std::vector<std::string> optionsAndHooks(const JavaVMInitArgs& arguments)
{
    std::vector<std::string> options;
    for (jint i = 0; i < arguments.nOptions; ++i) {
        const JavaVMOption& option = arguments.options[i];
        std::string text = option.optionString != nullptr ? option.optionString : "";
        if (text == "exit") {
            vm.exitHook = reinterpret_cast<ExitHook>(option.extraInfo);
        } else if (text == "abort") {
            vm.abortHook = reinterpret_cast<AbortHook>(option.extraInfo);
        } else if (text != "vfprintf") {
            options.push_back(text);
        }
    }
    return options;
}

jint JNICALL destroyJavaVm(JavaVM*)
{
    // A real VM attaches the calling thread first and then waits for the
    // program's last non-daemon thread.
    ThreadEnv* thread = currentThread != nullptr ? currentThread : attachThread("DestroyJavaVM", false);
    if (thread == nullptr) {
        return JNI_ERR;
    }
    thread->connection.call(Request::destroyVm);
    drainForwarding();
    return JNI_OK;
}

jint attach(void** environment, void* arguments, bool daemon)
{
    if (currentThread == nullptr) {
        std::string name;
        auto* attachArguments = static_cast<JavaVMAttachArgs*>(arguments);
        if (attachArguments != nullptr && attachArguments->name != nullptr) {
            name = attachArguments->name;
        } else {
            name = "Thread-" + std::to_string(vm.nextThreadNumber++);
        }
        if (attachThread(name, daemon) == nullptr) {
            return JNI_ERR;
        }
    }
    *environment = currentThread;
    return JNI_OK;
}

jint JNICALL attachCurrentThread(JavaVM*, void** environment, void* arguments)
{
    return attach(environment, arguments, false);
}

jint JNICALL attachCurrentThreadAsDaemon(JavaVM*, void** environment, void* arguments)
{
    return attach(environment, arguments, true);
}

jint JNICALL detachCurrentThread(JavaVM*)
{
    if (currentThread == nullptr) {
        return JNI_EDETACHED;
    }
    // The agent reports an exception still pending as the thread's uncaught one.
    currentThread->connection.call(Request::detach);
    delete currentThread;
    currentThread = nullptr;
    return JNI_OK;
}

jint JNICALL getEnv(JavaVM*, void** environment, jint)
{
    *environment = currentThread;
    return currentThread != nullptr ? JNI_OK : JNI_EDETACHED;
}

const JNIInvokeInterface_ invokeInterface = [] {
    JNIInvokeInterface_ table{};
    table.DestroyJavaVM = destroyJavaVm;
    table.AttachCurrentThread = attachCurrentThread;
    table.DetachCurrentThread = detachCurrentThread;
    table.GetEnv = getEnv;
    table.AttachCurrentThreadAsDaemon = attachCurrentThreadAsDaemon;
    return table;
}();

JavaVM javaVm{&invokeInterface};

}  // namespace

JavaVM* bridgeVm() { return &javaVm; }

ThreadEnv* attachThread(const std::string& name, bool daemon)
{
    std::optional<Connection> connection = Connection::open(vm.agentPort, vm.token, name, daemon);
    if (!connection) {
        return nullptr;
    }
    currentThread = new ThreadEnv{nativeInterface(), std::move(*connection)};
    return currentThread;
}

jint createVm(JavaVM** createdVm, void** environment, void* initArguments)
{
    if (created.exchange(true)) {
        return JNI_EEXIST;
    }
    const auto& arguments = *static_cast<const JavaVMInitArgs*>(initArguments);
    std::vector<std::string> options = optionsAndHooks(arguments);
    WSADATA winsock;
    if (WSAStartup(MAKEWORD(2, 2), &winsock) != 0) {
        sayOnStandardError("Winsock did not start");
        return JNI_ERR;
    }
    StartedJvm started =
        startLinuxJvm(runtimeHomeOfThisLibrary(), options, arguments.ignoreUnrecognized != JNI_FALSE);
    if (started.result != JNI_OK) {
        return started.result;
    }
    vm.agentPort = started.agentPort;
    vm.token = started.token;
    vm.control = std::move(started.control);
    // The watcher runs as long as the process; its handle is not needed.
    KernelHandle watcher(CreateThread(nullptr, 0, watchControl, nullptr, 0, nullptr));
    ThreadEnv* thread = attachThread("main", false);
    if (thread == nullptr) {
        sayOnStandardError("the Linux JVM's agent took no connection");
        return JNI_ERR;
    }
    *createdVm = &javaVm;
    *environment = thread;
    return JNI_OK;
}

}  // namespace bridge

extern "C" {

__declspec(dllexport) jint JNICALL JNI_CreateJavaVM(JavaVM** vm, void** environment, void* arguments)
{
    return bridge::createVm(vm, environment, arguments);
}

__declspec(dllexport) jint JNICALL JNI_GetDefaultJavaVMInitArgs(void* arguments)
{
    auto* initArguments = static_cast<JavaVMInitArgs*>(arguments);
    return initArguments->version >= JNI_VERSION_1_2 ? JNI_OK : JNI_EVERSION;
}

__declspec(dllexport) jint JNICALL JNI_GetCreatedJavaVMs(JavaVM** vms, jsize size, jsize* count)
{
    bool exists = bridge::created;
    if (exists && size > 0) {
        vms[0] = bridge::bridgeVm();
    }
    *count = exists ? 1 : 0;
    return JNI_OK;
}

__declspec(dllexport) jclass JNICALL JVM_FindClassFromBootLoader(JNIEnv* environment, const char* name)
{
    return bridge::findBootClass(environment, name);
}

}  // extern "C"
