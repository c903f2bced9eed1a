// The hand-over to the paired 32-bit executable: a configured runtime whose
// JVM library is an x86 image makes the launcher start "Pair Product" with its
// own command line, unchanged, and either leave at once or pass on the pair's
// exit code. A relative "Pair Product" lies beside the executable; a pair
// that cannot be started is reported and ends the start with -1. The pair
// here is the harness's environment probe, which writes down the command line
// it received, so the test sees it from inside the paired process; the real
// tarvo32.exe is used where this machine can run it.
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>

#include "support/polling.h"
#include "support/process_runner.h"
#include "support/sandbox.h"
#include "support/test_paths.h"
#include "support/test_text.h"
#include "support/ui_driver.h"

using namespace harness;

namespace {

constexpr DWORD kExitLimit = 15000;
constexpr DWORD kReportLimit = 15000;
constexpr DWORD kWindowLimit = 15000;

// Copies a built file into the sandbox under a relative path.
[[nodiscard]] bool copyInto(const ProductSandbox& sandbox, const std::wstring& source,
                            std::wstring_view relativePath)
{
    std::optional<std::string> bytes = readFileBytes(source);
    return bytes && sandbox.writeFile(relativePath, *bytes);
}

std::optional<std::string> waitForFile(const std::wstring& path, DWORD limitMilliseconds)
{
    std::optional<std::string> bytes;
    auto written = [&] {
        bytes = readFileBytes(path);
        return bytes && !bytes->empty();
    };
    return pollUntil(written, limitMilliseconds, 100) ? bytes : std::nullopt;
}

class PairProduct : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::optional<std::wstring> thirtyTwoBitLauncher = pairLauncherPath();
        if (!thirtyTwoBitLauncher) {
            GTEST_SKIP() << "this tree was configured without the 32-bit build";
        }
        ASSERT_TRUE(sandbox_.create(L"Acme Editor"));
        // A genuine x86 image stands in for the runtime's JVM library: the
        // bitness check reads only its headers.
        ASSERT_TRUE(copyInto(sandbox_, *thirtyTwoBitLauncher, L"runtime32\\bin\\server\\jvm.dll"));
        ASSERT_TRUE(sandbox_.writeFile(L"runtime32\\bin\\java.dll", "not needed"));
        ASSERT_TRUE(
            copyInto(sandbox_, probePath(L"environment_probe.exe"), L"pair\\Acme Editor 32.exe"));
    }

    std::wstring pairPath() const { return sandbox_.pathOf(L"pair\\Acme Editor 32.exe"); }

    void writeSettings(const std::wstring& pairProduct, bool waitForPair)
    {
        std::string ini =
            "[Java Runtime Environment]\r\nMain Class=com.example.App\r\n"
            "JRE Path=runtime32\r\n[Application]\r\nPair Product=" +
            toUtf8(pairProduct) + "\r\n";
        if (waitForPair) {
            ini += "Pair Return Code=YES\r\n";
        }
        ASSERT_TRUE(sandbox_.writeIni(ini));
    }

    // The launcher's command line: the report file and the exit code the
    // probe is to use, plus an argument with blanks and quotes that must
    // arrive untouched.
    std::wstring launcherCommandLine() const
    {
        return commandLineOf(sandbox_.executablePath(),
                             {sandbox_.pathOf(L"report.txt"), L"23", L"two \"quoted\" words"});
    }

    ProcessStart launcherStart() const
    {
        ProcessStart start(sandbox_.executablePath(), launcherCommandLine());
        start.currentFolder = sandbox_.folder();
        EnvironmentBlock environment = EnvironmentBlock::inherited();
        environment.set(L"APPDATA", sandbox_.pathOf(L"AppData"));
        start.environment = environment;
        return start;
    }

    ProductSandbox sandbox_;
};

}  // namespace

TEST_F(PairProduct, StartsWithTheIdenticalCommandLineAndPassesOnItsExitCode)
{
    writeSettings(pairPath(), true);
    std::optional<ProcessOutcome> outcome = runProcess(launcherStart(), kExitLimit);
    ASSERT_TRUE(outcome);
    EXPECT_TRUE(outcome->finished);
    EXPECT_EQ(outcome->exitCode, 23);

    std::optional<std::string> report = readFileBytes(sandbox_.pathOf(L"report.txt"));
    ASSERT_TRUE(report) << "the pair product did not run";
    std::string firstLine = report->substr(0, report->find('\n'));
    EXPECT_EQ(firstLine, toUtf8(launcherCommandLine()));
}

TEST_F(PairProduct, WithoutPairReturnCodeTheLauncherLeavesWithZero)
{
    writeSettings(pairPath(), false);
    std::optional<RunningProcess> launcher = RunningProcess::start(launcherStart());
    ASSERT_TRUE(launcher);
    ProcessOutcome outcome = launcher->waitForExit(kExitLimit);
    EXPECT_TRUE(outcome.finished);
    EXPECT_EQ(outcome.exitCode, 0);

    // The pair product was started all the same and got the same command line.
    std::optional<std::string> report = waitForFile(sandbox_.pathOf(L"report.txt"), kReportLimit);
    ASSERT_TRUE(report) << "the pair product did not run";
    EXPECT_EQ(report->substr(0, report->find('\n')), toUtf8(launcherCommandLine()));
}

// Ending with 0 would report a start that never happened as a success.
TEST_F(PairProduct, PairThatCannotStartEndsWithMinusOneAndNamesTheProgramAndTheError)
{
    for (bool waitForPair : {true, false}) {
        SCOPED_TRACE(waitForPair ? "with Pair Return Code" : "without Pair Return Code");
        std::wstring missing = sandbox_.pathOf(L"pair\\missing.exe");
        writeSettings(missing, waitForPair);
        std::optional<RunningProcess> launcher = RunningProcess::start(launcherStart());
        ASSERT_TRUE(launcher);
        std::optional<HWND> box = waitForDialog(launcher->id(), kWindowLimit);
        ASSERT_TRUE(box) << "no message box appeared";
        EXPECT_EQ(messageBoxText(*box).value_or(L""),
                  L"Konnte das Programm: " + missing + L" (Fehlernummer= 2) nicht starten.\n");
        EXPECT_TRUE(clickButton(*box, IDOK));
        ProcessOutcome outcome = launcher->waitForExit(kExitLimit);
        EXPECT_TRUE(outcome.finished);
        EXPECT_EQ(outcome.exitCode, -1);
        EXPECT_FALSE(readFileBytes(sandbox_.pathOf(L"report.txt")));
    }
}

// A file association starts the product in the document's folder: a relative
// "Pair Product" is still the one beside the executable.
TEST_F(PairProduct, RelativePairProductIsTakenFromTheExecutablesFolder)
{
    writeSettings(L"pair\\Acme Editor 32.exe", true);
    ASSERT_TRUE(sandbox_.writeFile(L"documents\\letter.txt", "a document"));
    ProcessStart start = launcherStart();
    start.currentFolder = sandbox_.pathOf(L"documents");
    std::optional<ProcessOutcome> outcome = runProcess(start, kExitLimit);
    ASSERT_TRUE(outcome);
    EXPECT_TRUE(outcome->finished);
    EXPECT_EQ(outcome->exitCode, 23);
    std::optional<std::string> report = readFileBytes(sandbox_.pathOf(L"report.txt"));
    ASSERT_TRUE(report) << "the pair product did not run";
    EXPECT_EQ(report->substr(0, report->find('\n')), toUtf8(launcherCommandLine()));
}

TEST_F(PairProduct, PairPlantedInTheCurrentFolderIsNeverStarted)
{
    ASSERT_TRUE(
        copyInto(sandbox_, probePath(L"environment_probe.exe"), L"downloads\\Acme Editor 32.exe"));
    writeSettings(L"Acme Editor 32.exe", true);
    ProcessStart start = launcherStart();
    start.currentFolder = sandbox_.pathOf(L"downloads");
    std::optional<RunningProcess> launcher = RunningProcess::start(start);
    ASSERT_TRUE(launcher);
    std::optional<HWND> box = waitForDialog(launcher->id(), kWindowLimit);
    ASSERT_TRUE(box) << "no message box appeared";
    // The name is taken beside the executable, where there is no such program.
    EXPECT_EQ(messageBoxText(*box).value_or(L""), L"Konnte das Programm: " +
                                                      sandbox_.pathOf(L"Acme Editor 32.exe") +
                                                      L" (Fehlernummer= 2) nicht starten.\n");
    EXPECT_TRUE(clickButton(*box, IDOK));
    ProcessOutcome outcome = launcher->waitForExit(kExitLimit);
    EXPECT_TRUE(outcome.finished);
    EXPECT_EQ(outcome.exitCode, -1);
    EXPECT_FALSE(readFileBytes(sandbox_.pathOf(L"report.txt"))) << "the planted program ran";
}

TEST_F(PairProduct, RealThirtyTwoBitLauncherIsStartedAsThePair)
{
    wchar_t canRun[4] = {};
    GetEnvironmentVariableW(L"TARVO_CAN_RUN_WIN32", canRun, 4);
    if (std::wstring(canRun) != L"1") {
        GTEST_SKIP() << "this machine cannot run 32-bit programs";
    }
    // The 32-bit launcher, renamed as the pair, with a settings file that
    // lacks "Main Class": its message box proves that it is the pair that ran.
    ASSERT_TRUE(copyInto(sandbox_, *pairLauncherPath(), L"pair\\Acme Editor 32.exe"));
    ASSERT_TRUE(sandbox_.writeFile(L"pair\\Acme Editor 32.ini", "[Application]\r\n"));
    writeSettings(pairPath(), true);

    std::optional<RunningProcess> launcher = RunningProcess::start(launcherStart());
    ASSERT_TRUE(launcher);
    HWND box = nullptr;
    auto shown = [&] {
        box = FindWindowW(L"#32770", nullptr);
        return box && messageBoxText(box) == L"Main class in der INI-Datei nicht spezifiziert.";
    };
    ASSERT_TRUE(pollUntil(shown, kWindowLimit, 100)) << "the 32-bit launcher showed no message";
    ASSERT_TRUE(clickButton(box, IDOK));
    ProcessOutcome outcome = launcher->waitForExit(kExitLimit);
    EXPECT_TRUE(outcome.finished);
    EXPECT_EQ(outcome.exitCode, -1);
}
