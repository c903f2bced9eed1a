// A product that runs the test Java runtime end to end: the launcher in a
// sandbox under the product's name, the test runtime (or the bridge runtime,
// real Java) beside it as "jre64", the settings file, and runs of the
// launcher whose message boxes are read and answered the way a person would.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/process_runner.h"
#include "support/sandbox.h"
#include "support/test_jvm/test_runtime.h"

namespace harness {

struct LauncherRun {
    ProcessOutcome outcome;
    // The texts of the message boxes shown, in order; each was answered with OK.
    std::vector<std::wstring> boxes;
    // What the test runtime traced during the run.
    std::vector<std::string> trace;
    // The class names of the visible top-level windows the launcher showed
    // (each counted once), message boxes and dialogs included.
    std::vector<std::wstring> windowClasses;
    // With pipeStandardStreams: what the launcher wrote to standard output and
    // error, as bytes.
    std::string output;
    std::string error;
};

class JavaProduct {
public:
    // The sandbox, the runtime variant as jre64\bin\server\jvm.dll and an empty
    // "app.jar", so that "Class Path=app.jar" gives a class path.
    [[nodiscard]] bool create(TestJvm variant = TestJvm::complete,
                              std::wstring_view productName = L"Acme Editor",
                              std::wstring_view folderSuffix = L"");
    // The same product with the bridge runtime, the machine's real Java, as
    // jre64 (see support/bridge_runtime.h: callers skip where it cannot run).
    [[nodiscard]] bool createWithBridgeRuntime(std::wstring_view productName = L"Acme Editor",
                                               std::wstring_view folderSuffix = L"");

    // Writes the settings file: section "Java Runtime Environment" with "Main
    // Class" and the further keys given, the class path, then the further
    // sections given (lines "\r\n"-separated).
    [[nodiscard]] bool writeSettings(std::string_view mainClass, std::string_view runtimeKeys = "",
                                     std::string_view moreSections = "");

    // Starts the launcher with the arguments and waits up to the limit for it
    // to end, answering every message box with OK. A launcher still running at
    // the limit is killed and reported so.
    LauncherRun run(const std::vector<std::wstring>& arguments = {},
                    DWORD limitMilliseconds = 30000);

    // The environment of the next runs: this process's, with APPDATA in the
    // sandbox, no JAVA_HOME and the runtime's trace file. Tests add the test
    // runtime's switches here.
    EnvironmentBlock& environment() { return environment_; }

    // The launcher's standard output and error go to these files of the
    // sandbox in the next runs, each written afresh; empty names leave them
    // as they are.
    void captureStandardStreams(std::wstring outputName, std::wstring errorName)
    {
        outputName_ = std::move(outputName);
        errorName_ = std::move(errorName);
    }
    // The launcher's standard output and error go into pipes in the next
    // runs (LauncherRun::output and error); files named above win.
    void pipeStandardStreams(bool pipe) { pipeStreams_ = pipe; }

    // Replaces the product's executable by the console build (tarvoc.exe)
    // under the product name given; the settings file follows the name.
    [[nodiscard]] bool useConsoleBuild(std::wstring_view productName = L"Acme Tool");

    ProductSandbox& sandbox() { return sandbox_; }
    const ProductSandbox& sandbox() const { return sandbox_; }
    const std::wstring& jvmLibraryPath() const { return jvmLibraryPath_; }
    std::wstring tracePath() const { return sandbox_.pathOf(L"jvm-trace.txt"); }

private:
    [[nodiscard]] bool createSandbox(std::wstring_view productName, std::wstring_view folderSuffix);
    void inheritEnvironment();

    ProductSandbox sandbox_;
    EnvironmentBlock environment_;
    std::wstring jvmLibraryPath_;
    std::wstring outputName_;
    std::wstring errorName_;
    bool pipeStreams_ = false;
};

// The option strings the runtime received, in order (without "option " and the
// extraInfo mark).
std::vector<std::string> vmOptionsFromTrace(const std::vector<std::string>& trace);

// True when the trace holds the line.
bool traceHas(const std::vector<std::string>& trace, std::string_view line);

}  // namespace harness
