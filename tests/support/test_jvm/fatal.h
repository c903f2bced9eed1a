// The test runtime's answer to a launcher that misuses JNI (a null or
// unknown handle, a wrong method id, a function the runtime lacks): trace it,
// say it on the standard error handle, and end the process with exit code 99.
// Loud and distinct instead of a crash, so that a test names the fault.
#pragma once

#include <string_view>

namespace test_jvm {

inline constexpr unsigned kMisuseExitCode = 99;

// Traces "JNI misuse: <what>" and ends the process.
[[noreturn]] void failLoudly(std::string_view what);
// Traces "unimplemented JNI function <name>" and ends the process.
[[noreturn]] void failUnimplemented(std::string_view functionName);

}  // namespace test_jvm
