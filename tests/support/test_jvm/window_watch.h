// Lets a test hold the test runtime before it creates the VM, and tells in
// the trace whether a window of the launcher was there at given moments, so
// that a test can look at the launcher's windows while the Java program has
// not started yet and learn when they went.
#pragma once

#include <string_view>

namespace test_jvm {

// With TARVO_TEST_JVM_HOLD_EVENT set: waits until the test sets that event,
// at most kHoldLimitMilliseconds, and traces "hold released" or "hold not
// released".
void holdUntilReleased();

// With TARVO_TEST_JVM_WATCH_WINDOW set to a window class: traces
// "window <class> at <moment>: present" or "...: absent", telling whether a
// top-level window of that class belongs to this process.
void traceWatchedWindow(std::string_view moment);

inline constexpr unsigned long kHoldLimitMilliseconds = 30000;

}  // namespace test_jvm
