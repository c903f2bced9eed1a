#include "support/test_jvm/vm_state.h"

#include <map>
#include <mutex>

#include "support/handle_owners.h"
#include "support/test_jvm/builtin_classes.h"
#include "support/test_jvm/java_text.h"
#include "support/test_jvm/jni_tables.h"
#include "support/test_jvm/output_streams.h"
#include "support/test_jvm/trace.h"

namespace test_jvm {

namespace {

struct VirtualMachine {
    JavaVM javaVm{};
    std::mutex mutex;
    std::map<DWORD, std::unique_ptr<ThreadState>> threads;
    // States of detached threads stay alive: a JNIEnv the launcher still
    // holds must not point at freed memory.
    std::vector<std::unique_ptr<ThreadState>> detached;
    std::vector<KernelHandle> nonDaemonThreads;
    ExitHook exitHook = nullptr;
    AbortHook abortHook = nullptr;
    PrintStreamObject* out = nullptr;
    PrintStreamObject* err = nullptr;
    bool started = false;
};

// Never destroyed: the process may end while Java threads still run.
VirtualMachine& vm()
{
    static VirtualMachine* instance = new VirtualMachine();
    return *instance;
}

[[noreturn]] void endLoudly(const std::string& line)
{
    traceLine(line);
    HANDLE errorHandle = GetStdHandle(STD_ERROR_HANDLE);
    if (errorHandle != nullptr && errorHandle != INVALID_HANDLE_VALUE) {
        std::string text = "test jvm: " + line + "\r\n";
        DWORD written = 0;
        WriteFile(errorHandle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    }
    ExitProcess(kMisuseExitCode);
}

PrintStreamObject* standardStream(DWORD which)
{
    ClassInfo* printStreamClass = loadedClass("java/io/PrintStream");
    auto* stream = newObject<PrintStreamObject>(*printStreamClass);
    stream->target = std::make_shared<StandardHandleTarget>(which);
    return stream;
}

DWORD WINAPI nonDaemonThreadMain(void* parameter)
{
    auto lifetime = static_cast<DWORD>(reinterpret_cast<uintptr_t>(parameter));
    Sleep(lifetime);
    traceLine("non-daemon thread ended");
    return 0;
}

}  // namespace

void failLoudly(std::string_view what)
{
    endLoudly("JNI misuse: " + std::string(what));
}

void failUnimplemented(std::string_view functionName)
{
    endLoudly("unimplemented JNI function " + std::string(functionName));
}

ThreadState& threadOf(JNIEnv* environment)
{
    if (environment == nullptr) {
        failLoudly("null JNIEnv");
    }
    return *reinterpret_cast<ThreadState*>(environment);
}

void startVirtualMachine(ExitHook exitHook, AbortHook abortHook)
{
    defineBuiltinClasses();
    VirtualMachine& machine = vm();
    machine.javaVm.functions = invokeInterface();
    machine.exitHook = exitHook;
    machine.abortHook = abortHook;
    machine.out = standardStream(STD_OUTPUT_HANDLE);
    machine.err = standardStream(STD_ERROR_HANDLE);
    machine.started = true;
    attachCurrentThread();
}

bool virtualMachineStarted()
{
    return vm().started;
}

JavaVM* javaVm()
{
    return &vm().javaVm;
}

ThreadState* currentThread()
{
    std::lock_guard lock(vm().mutex);
    auto found = vm().threads.find(GetCurrentThreadId());
    return found != vm().threads.end() ? found->second.get() : nullptr;
}

ThreadState& attachCurrentThread()
{
    std::lock_guard lock(vm().mutex);
    auto& slot = vm().threads[GetCurrentThreadId()];
    if (!slot) {
        slot = std::make_unique<ThreadState>();
        slot->environment.functions = nativeInterface();
        slot->threadId = GetCurrentThreadId();
    }
    return *slot;
}

bool detachCurrentThread()
{
    std::lock_guard lock(vm().mutex);
    auto found = vm().threads.find(GetCurrentThreadId());
    if (found == vm().threads.end()) {
        return false;
    }
    vm().detached.push_back(std::move(found->second));
    vm().threads.erase(found);
    return true;
}

void startNonDaemonThread(DWORD lifetimeMilliseconds)
{
    std::lock_guard lock(vm().mutex);
    KernelHandle thread(CreateThread(nullptr, 0, nonDaemonThreadMain,
                                     reinterpret_cast<void*>(uintptr_t{lifetimeMilliseconds}), 0,
                                     nullptr));
    if (!thread) {
        failLoudly("cannot start a simulated non-daemon thread");
    }
    vm().nonDaemonThreads.push_back(std::move(thread));
}

void waitForNonDaemonThreads()
{
    // A thread may start another while we wait, so the list is read again
    // until every thread on it has been waited for.
    for (size_t next = 0;; ++next) {
        HANDLE thread = nullptr;
        {
            std::lock_guard lock(vm().mutex);
            if (next >= vm().nonDaemonThreads.size()) {
                return;
            }
            thread = vm().nonDaemonThreads[next].get();
        }
        WaitForSingleObject(thread, INFINITE);
    }
}

PrintStreamObject* systemOut()
{
    std::lock_guard lock(vm().mutex);
    return vm().out;
}

PrintStreamObject* systemErr()
{
    std::lock_guard lock(vm().mutex);
    return vm().err;
}

void setSystemOut(PrintStreamObject* stream)
{
    std::lock_guard lock(vm().mutex);
    vm().out = stream;
}

void setSystemErr(PrintStreamObject* stream)
{
    std::lock_guard lock(vm().mutex);
    vm().err = stream;
}

void printTo(PrintStreamObject* stream, std::u16string_view text)
{
    if (stream != nullptr && stream->target) {
        stream->target->write(utf8FromUtf16(text));
    }
}

void printLineTo(PrintStreamObject* stream, std::u16string_view text)
{
    printTo(stream, std::u16string(text) + u"\r\n");
}

void throwNew(ThreadState& thread, std::string_view className,
              std::optional<std::u16string> message, std::vector<std::u16string> frames)
{
    ClassInfo* throwableClass = loadedClass(className);
    if (throwableClass == nullptr) {
        failLoudly("throwable class " + std::string(className) + " is not defined");
    }
    auto* throwable = newObject<ThrowableObject>(*throwableClass);
    throwable->message = std::move(message);
    throwable->frames = std::move(frames);
    thread.pending = throwable;
}

void describePendingException(ThreadState& thread)
{
    ThrowableObject* throwable = std::exchange(thread.pending, nullptr);
    if (throwable == nullptr) {
        traceLine("ExceptionDescribe none pending");
        return;
    }
    traceLine("ExceptionDescribe " + utf8FromUtf16(throwable->describe()));
    printTo(systemErr(), throwable->stackTraceText());
}

void systemExit(jint code)
{
    traceLine("System.exit " + std::to_string(code));
    if (ExitHook hook = vm().exitHook) {
        traceLine("exit hook " + std::to_string(code));
        hook(code);
        traceLine("exit hook returned");
    }
    ExitProcess(static_cast<UINT>(code));
}

}  // namespace test_jvm
