// Lays out the test Java runtime in a folder as a Java runtime is laid out on
// disk, and reads what it traced.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace harness {

enum class TestJvm {
    complete,                // every entry point
    withoutJniEntries,       // no JNI_CreateJavaVM, no JNI_GetDefaultJavaVMInitArgs
    withoutBootClassFinder,  // no JVM_FindClassFromBootLoader, as older runtimes
    withoutCreateJavaVm,     // no JNI_CreateJavaVM only
    withoutDefaultInitArgs,  // no JNI_GetDefaultJavaVMInitArgs only
};

// The built file of the variant in a build's bin folder (test_jvm.dll, ...).
std::wstring testJvmBuildFile(const std::wstring& buildBinFolder, TestJvm variant);

// Copies the variant to <home>\bin\<jvmType>\jvm.dll, the java.dll stand-in to
// <home>\bin\java.dll and the helper the test jvm.dll imports to <home>\bin, the
// only place it can be found. The files come from the build's bin folder given,
// by default the running test program's (pass the paired 32-bit tree's for x86
// files). Returns the path of jvm.dll.
[[nodiscard]] std::optional<std::wstring> layOutTestRuntime(
    const std::wstring& home, TestJvm variant, std::wstring_view jvmType = L"server",
    const std::wstring& buildBinFolder = {});

enum class TestSplashLibrary {
    complete,               // the four exports
    withoutSetFileJarName,  // no "SplashSetFileJarName": a library the launcher cannot use
};

// Copies the variant of the test splash library, whose exports trace their
// calls, to <home>\bin\splashscreen.dll, where a runtime has its splash
// library. Returns its path.
[[nodiscard]] std::optional<std::wstring> layOutTestSplashLibrary(
    const std::wstring& home, TestSplashLibrary variant, const std::wstring& buildBinFolder = {});

// The trace file's lines, without their line ends; empty when there is no file.
std::vector<std::string> readTestJvmTrace(const std::wstring& traceFile);

// The String[] the first traced `main` received, exactly (lone surrogates
// too); none when no main traced its arguments, or they were null or
// incomplete. The trace lines are "main arguments <count>" and then
// "main argument <index> <code units as 4-digit hex, space-separated>"
// (support/test_jvm/argument_trace.h).
std::optional<std::vector<std::wstring>> mainArgumentsFromTrace(
    const std::vector<std::string>& trace);
// The String[] of every traced secondaryMain call of the form given ("void"
// or "int"), in trace order.
std::vector<std::vector<std::wstring>> secondaryArgumentsFromTrace(
    const std::vector<std::string>& trace, std::string_view form);

}  // namespace harness
