// The JVM options a real start hands to the runtime, read from the test
// runtime's trace ("option <text>" per option, in order): the library path,
// the class path with its searched entries, the VM parameters with quotes,
// variables and memory shares. Memory shares are checked on the shipped
// launcher against the machine's own memory, and on tarvo_fed_memory, whose
// machine memory comes from TARVO_TEST_TOTAL_PHYSICAL.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "support/process_runner.h"
#include "support/sandbox.h"
#include "support/test_jvm/test_runtime.h"
#include "support/test_paths.h"
#include "support/test_text.h"
#include "support/ui_driver.h"

using namespace harness;

namespace {

constexpr DWORD kExitLimit = 30000;
constexpr DWORD kWindowLimit = 30000;
constexpr std::uint64_t kGibibyte = 1073741824;

// The PATH every start inherits, so that the texts built from it are known.
const wchar_t kInheritedPath[] = L"C:\\windows\\system32;C:\\windows";

class VmOptionsEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sandbox_.create(L"Acme Editor"));
        ASSERT_TRUE(layOutTestRuntime(sandbox_.pathOf(L"jre64"), TestJvm::complete));
    }

    void useFedMemoryLauncher()
    {
        ASSERT_TRUE(sandbox_.installExecutable(testProgramFolder() + L"\\tarvo_fed_memory.exe",
                                               L"Acme Editor"));
    }

    void writeSettings(const std::wstring& text) { ASSERT_TRUE(sandbox_.writeIni(toUtf8(text))); }

    ProcessStart launcherStart(std::optional<std::uint64_t> fedPhysicalMemory = std::nullopt)
    {
        DeleteFileW(tracePath().c_str());  // the runtime appends: one trace per start
        ProcessStart start(sandbox_.executablePath());
        start.currentFolder = sandbox_.folder();
        EnvironmentBlock environment = EnvironmentBlock::inherited();
        environment.set(L"APPDATA", sandbox_.pathOf(L"AppData"));
        environment.set(L"TARVO_TEST_JVM_TRACE", tracePath());
        environment.set(L"Path", kInheritedPath);
        environment.remove(L"JAVA_HOME");
        if (fedPhysicalMemory) {
            environment.set(L"TARVO_TEST_TOTAL_PHYSICAL", std::to_wstring(*fedPhysicalMemory));
            environment.set(L"TARVO_TEST_AVAILABLE_VIRTUAL", std::to_wstring(kGibibyte));
        }
        start.environment = environment;
        return start;
    }

    // A start that shows no box: it runs the test program's main, which
    // returns, so the launcher ends with 0.
    void runLauncher(std::optional<std::uint64_t> fedPhysicalMemory = std::nullopt)
    {
        std::optional<ProcessOutcome> outcome =
            runProcess(launcherStart(fedPhysicalMemory), kExitLimit);
        ASSERT_TRUE(outcome);
        EXPECT_TRUE(outcome->finished) << "the launcher did not end by itself";
        EXPECT_EQ(outcome->exitCode, 0);
    }

    std::wstring tracePath() const { return sandbox_.pathOf(L"jvm-trace.txt"); }

    std::vector<std::string> traceLines() const { return readTestJvmTrace(tracePath()); }

    // The options the VM was created with, in order.
    std::vector<std::string> tracedOptions() const
    {
        std::vector<std::string> options;
        for (const std::string& line : traceLines()) {
            if (line.starts_with("option ")) {
                options.push_back(line.substr(7));
            }
        }
        return options;
    }

    std::string folderPath(std::wstring_view relative = L"") const
    {
        return toUtf8(relative.empty() ? sandbox_.folder() : sandbox_.pathOf(relative));
    }

    ProductSandbox sandbox_;
};

std::uint64_t installedPhysicalMemory()
{
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof(status);
    EXPECT_TRUE(GlobalMemoryStatusEx(&status));
    return status.ullTotalPhys;
}

using Options = std::vector<std::string>;

}  // namespace

TEST_F(VmOptionsEndToEnd, LibraryPathClassPathAndParametersInOrder)
{
    ASSERT_TRUE(sandbox_.writeFile(L"lib\\a.jar", "jar"));
    writeSettings(
        L"[Java Runtime Environment]\r\n"
        L"Main Class=tarvo.test.Main\r\n"
        L"Library Path=C:\\native\r\n"
        L"System Path=C:\\tools\r\n"
        L"Virtual Machine Parameters=-Xmx512m  -Dapp.title=\"My App\" -Dflag "
        L"-Dhome=%TARVO_JVM_HOME% -Dpath=%Path% -Xss512k -Xss2m -Xmx50P\r\n"
        L"[Class Path]\r\n"
        L"Class Path=lib\\*.jar;;lib\\missing.jar;D:\\ext\\x.jar\r\n");
    runLauncher();

    // Half of the installed memory in kilobytes, as the shipped launcher
    // measures it on this machine.
    const std::uint64_t halfOfMemory =
        static_cast<std::uint64_t>(static_cast<double>(installedPhysicalMemory() >> 10) * 0.5);
    const std::string inheritedPath = toUtf8(kInheritedPath);
    EXPECT_EQ(tracedOptions(),
              (Options{"-Djava.library.path=C:\\native;" + folderPath() + "\\;.;" + inheritedPath +
                           ";" + folderPath(L"jre64\\lib"),
                       // The missing relative file and the empty piece add nothing; the
                       // absolute file is taken unchecked.
                       "-Djava.class.path=" + folderPath(L"lib\\a.jar") + ";D:\\ext\\x.jar;",
                       "-Xmx512m", "-Dapp.title=My App", "-Dflag", "-Dhome=" + folderPath(L"jre64"),
                       // Parameters see the new PATH: System Path first, the runtime's bin
                       // folder last.
                       "-Dpath=C:\\tools;" + inheritedPath + ";" + folderPath(L"jre64\\bin"),
                       "-Xss512k", "-Xss2m", "-Xmx" + std::to_string(halfOfMemory) + "K"}));
    const std::vector<std::string> trace = traceLines();
    const std::string jvmPathLine = "TARVO_JVM_PATH=" + folderPath(L"jre64\\bin\\server\\jvm.dll");
    EXPECT_NE(std::find(trace.begin(), trace.end(), jvmPathLine), trace.end()) << jvmPathLine;
}

TEST_F(VmOptionsEndToEnd, SharesOfFedPhysicalMemoryAndEmbeddedJarInCapitals)
{
    useFedMemoryLauncher();
    writeSettings(
        L"[Java Runtime Environment]\r\n"
        L"Main Class=tarvo.test.Main\r\n"
        L"Virtual Machine Parameters=-Xmx50P -Xmx25:512:4096P -Xmx33P\r\n"
        L"[Application]\r\n"
        L"Embedded Jar=YES\r\n");
    runLauncher(16 * kGibibyte);
    EXPECT_EQ(tracedOptions(),
              (Options{"-Djava.class.path=" + toUtf8(sandbox_.executablePath()) + ";",
                       "-Xmx8388608K", "-Xmx4194304K", "-Xmx5536481K"}));
}

TEST_F(VmOptionsEndToEnd, FedMemoryMinimumEmptyTokensAndFolderEntries)
{
    useFedMemoryLauncher();
    ASSERT_TRUE(sandbox_.writeFile(L"lib\\a.jar", "jar"));
    ASSERT_TRUE(sandbox_.writeFile(L"ext\\b.jar", "jar"));
    // The "+" section's value arrives with a blank in front, and the two
    // quotes make a token with nothing in it: the VM would refuse either as
    // an empty option. lib\* also matches "." and "..", which are no class
    // path entries; a forward slash separates as a backslash does.
    writeSettings(
        L"[Java Runtime Environment]\r\n"
        L"Main Class=tarvo.test.Main\r\n"
        L"[Java Runtime Environment+]\r\n"
        L"Virtual Machine Parameters=-Xms10:1024P \"\" -Dlast\r\n"
        L"[Class Path]\r\n"
        L"Class Path=lib\\*;ext/*.jar;D:\\ext\\x.jar\r\n");
    runLauncher(8 * kGibibyte);
    EXPECT_EQ(tracedOptions(), (Options{"-Djava.class.path=" + folderPath(L"lib\\a.jar") + ";" +
                                            folderPath(L"ext\\b.jar") + ";D:\\ext\\x.jar;",
                                        "-Xms1048576K", "-Dlast"}));
}

TEST_F(VmOptionsEndToEnd, NoClassPathIsReportedAndNothingAfterItIsAdded)
{
    writeSettings(
        L"[Java Runtime Environment]\r\n"
        L"Main Class=tarvo.test.Main\r\n"
        L"Library Path=C:\\native\r\n"
        L"Virtual Machine Parameters=-Dafter\r\n"
        L"[Class Path]\r\n"
        L"Class Path=lib\\missing.jar\r\n"
        L"[Application]\r\n"
        L"Embedded Jar=no\r\n");
    std::optional<RunningProcess> launcher = RunningProcess::start(launcherStart());
    ASSERT_TRUE(launcher);
    std::optional<HWND> box = waitForDialog(launcher->id(), kWindowLimit);
    ASSERT_TRUE(box) << "no message about the class path";
    EXPECT_EQ(messageBoxText(*box), L"Java-Klassenpfad wurde in der INI-Datei nicht angegeben.");
    ASSERT_TRUE(clickButton(*box, IDOK));
    ProcessOutcome outcome = launcher->waitForExit(kExitLimit);
    EXPECT_TRUE(outcome.finished);
    EXPECT_EQ(outcome.exitCode, 0);

    // The VM is created all the same, with the library path alone.
    Options options = tracedOptions();
    ASSERT_EQ(options.size(), 1u);
    EXPECT_TRUE(options[0].starts_with("-Djava.library.path=C:\\native;")) << options[0];
}
