// The environment variables through which a test steers the test Java runtime
// and learns what happened inside it. Shared by the runtime and the tests.
#pragma once

namespace test_jvm {

// A file to which the runtime appends one UTF-8 line per event; no trace when unset.
inline constexpr wchar_t kTraceVariable[] = L"TARVO_TEST_JVM_TRACE";
// The javaStackSize that JNI_GetDefaultJavaVMInitArgs reports, in decimal; 0 when unset.
inline constexpr wchar_t kStackSizeVariable[] = L"TARVO_TEST_JVM_STACK_SIZE";
// A non-zero decimal makes JNI_CreateJavaVM return that code without creating
// a VM; unset or "0" creates the VM.
inline constexpr wchar_t kCreateResultVariable[] = L"TARVO_TEST_JVM_CREATE_RESULT";
// The code tarvo/test/Exit passes to System.exit, in decimal; 0 when unset.
inline constexpr wchar_t kExitCodeVariable[] = L"TARVO_TEST_JVM_EXIT_CODE";
// How long the non-daemon thread of tarvo/test/KeepsAlive and the Secondary
// classes lives, in milliseconds; 2000 when unset.
inline constexpr wchar_t kAliveMillisecondsVariable[] = L"TARVO_TEST_JVM_ALIVE_MS";
// "1": the runtime has no sun/launcher/LauncherHelper class at all.
inline constexpr wchar_t kNoLauncherHelperVariable[] = L"TARVO_TEST_JVM_NO_LAUNCHER_HELPER";
// "1": LauncherHelper.checkAndLoadMain returns null with an exception pending
// for any name.
inline constexpr wchar_t kLauncherHelperFailsVariable[] = L"TARVO_TEST_JVM_LAUNCHER_HELPER_FAILS";

// The name of an event: JNI_CreateJavaVM first waits until the test sets it
// (support/test_jvm/window_watch.h).
inline constexpr wchar_t kHoldEventVariable[] = L"TARVO_TEST_JVM_HOLD_EVENT";
// A window class: JNI_CreateJavaVM, DetachCurrentThread and DestroyJavaVM
// trace whether the process has a top-level window of it.
inline constexpr wchar_t kWatchWindowVariable[] = L"TARVO_TEST_JVM_WATCH_WINDOW";

}  // namespace test_jvm
