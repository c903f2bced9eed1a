#include "runtime_start.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <optional>

#include "support/polling.h"
#include "support/test_paths.h"
#include "support/test_jvm/test_runtime.h"
#include "support/ui_driver.h"

namespace harness {

namespace {

constexpr DWORD kExitLimit = 15000;
// How long one look for the runtime-not-found dialog lasts.
constexpr DWORD kDialogPoll = 200;

}  // namespace

RuntimeStart startProductForItsRuntime(const ProductSandbox& sandbox,
                                       EnvironmentBlock environment)
{
    RuntimeStart result;
    std::wstring trace = sandbox.pathOf(L"jvm-trace.txt");
    DeleteFileW(trace.c_str());  // the runtime appends: one trace per start
    ProcessStart start(sandbox.executablePath());
    start.currentFolder = sandbox.folder();
    environment.set(L"TARVO_TEST_JVM_TRACE", trace);
    start.environment = environment;
    std::optional<RunningProcess> launcher = RunningProcess::start(start);
    EXPECT_TRUE(launcher);
    if (!launcher) {
        return result;
    }
    int expectedExitCode = 0;
    // The program ends at once; only a start without a runtime waits for
    // someone. Each look waits for the dialog itself: no pause between looks.
    auto endedOrCancelled = [&] {
        std::optional<HWND> dialog;
        if (launcher->isRunning() && (dialog = waitForDialog(launcher->id(), kDialogPoll))) {
            EXPECT_EQ(windowText(*dialog), L"JRE nicht gefunden");
            EXPECT_TRUE(clickButton(*dialog, IDCANCEL));
            expectedExitCode = -1;
            result.dialogShown = true;
        }
        return dialog || !launcher->isRunning();
    };
    static_cast<void>(pollUntil(endedOrCancelled, kExitLimit, 0));
    ProcessOutcome outcome = launcher->waitForExit(kExitLimit);
    EXPECT_TRUE(outcome.finished);
    EXPECT_EQ(outcome.exitCode, expectedExitCode);
    for (const std::string& line : readTestJvmTrace(trace)) {
        if (line.starts_with("loaded ")) {
            std::string path = line.substr(7);
            result.loadedLibraries.emplace_back(path.begin(), path.end());
        }
    }
    return result;
}

std::optional<std::wstring> layOutX86TestRuntime(const std::wstring& home)
{
    std::optional<std::wstring> thirtyTwoBitLauncher = pairLauncherPath();
    if (!thirtyTwoBitLauncher) {
        return std::nullopt;
    }
    std::wstring binFolder = thirtyTwoBitLauncher->substr(0, thirtyTwoBitLauncher->rfind(L'\\'));
    std::optional<std::wstring> library =
        layOutTestRuntime(home, TestJvm::complete, L"server", binFolder);
    EXPECT_TRUE(library.has_value());
    return library;
}

}  // namespace harness
