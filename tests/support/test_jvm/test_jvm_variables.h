// The environment variables through which a test steers the test Java runtime
// and learns what happened inside it. Shared by the runtime and the tests.
#pragma once

namespace test_jvm {

// A file to which the runtime appends one UTF-8 line per event; no trace when unset.
inline constexpr wchar_t kTraceVariable[] = L"TARVO_TEST_JVM_TRACE";
// The javaStackSize that JNI_GetDefaultJavaVMInitArgs reports, in decimal; 0 when unset.
inline constexpr wchar_t kStackSizeVariable[] = L"TARVO_TEST_JVM_STACK_SIZE";
// The code JNI_CreateJavaVM returns, in decimal; JNI_ERR (-1) when unset.
inline constexpr wchar_t kCreateResultVariable[] = L"TARVO_TEST_JVM_CREATE_RESULT";

}  // namespace test_jvm
