// The one test VM of the process: the threads attached to it with their
// pending exceptions, the hooks the launcher handed over, System.out and
// System.err, and the simulated non-daemon threads that DestroyJavaVM waits for.
#pragma once

#include <windows.h>
// After windows.h: jni.h takes its machine types from include/jni_md.h.
#include <jni.h>

#include <cstddef>
#include <string>
#include <string_view>

#include "support/test_jvm/object_model.h"

namespace test_jvm {

// One per attached thread. A JNIEnv* is the address of the state's
// `environment`, its first member, so every JNI function finds its thread's
// state from the env it is given.
struct ThreadState {
    JNIEnv environment;
    DWORD threadId = 0;
    ThrowableObject* pending = nullptr;
};
static_assert(offsetof(ThreadState, environment) == 0);

using ExitHook = void(JNICALL*)(jint);
using AbortHook = void(JNICALL*)();

ThreadState& threadOf(JNIEnv* environment);

// Set up the VM for the first time: the classes, the standard streams, the
// hooks, and the calling thread attached.
void startVirtualMachine(ExitHook exitHook, AbortHook abortHook);
bool virtualMachineStarted();
JavaVM* javaVm();

// The calling thread's state, attaching it first when asked.
ThreadState* currentThread();
ThreadState& attachCurrentThread();
// false when the calling thread was not attached.
bool detachCurrentThread();

// Starts a real thread that stands for a Java non-daemon thread: it sleeps
// for the time given, traces its end, and DestroyJavaVM waits for it.
void startNonDaemonThread(DWORD lifetimeMilliseconds);
void waitForNonDaemonThreads();

// System.out and System.err as the VM has them now; null when set to null.
PrintStreamObject* systemOut();
PrintStreamObject* systemErr();
void setSystemOut(PrintStreamObject* stream);
void setSystemErr(PrintStreamObject* stream);
// Writes the text, UTF-8 encoded, to the stream's target; nothing for null.
void printTo(PrintStreamObject* stream, std::u16string_view text);
// The same followed by Java's line separator on Windows, "\r\n".
void printLineTo(PrintStreamObject* stream, std::u16string_view text);

// Makes an exception of the class pending on the thread; an absent message
// gives a throwable whose toString is the class name alone.
void throwNew(ThreadState& thread, std::string_view className,
              std::optional<std::u16string> message, std::vector<std::u16string> frames = {});
// Writes the pending exception's stack trace to System.err, traces its
// description and clears it.
void describePendingException(ThreadState& thread);

// java/lang/System.exit: traces, calls the launcher's exit hook, ends the process.
[[noreturn]] void systemExit(jint code);

}  // namespace test_jvm
