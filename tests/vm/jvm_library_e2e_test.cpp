// Binding the JVM library end to end, in a fresh process each time: the bind
// probe calls the launcher's bindJvmLibrary with the launcher's string table
// on a test runtime laid out in a temp folder. A failing bind shows exactly
// one box with the system's error number; a succeeding one shows none and
// finds the library's dependencies in the runtime's bin folder.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cwctype>

#include "support/process_runner.h"
#include "support/sandbox.h"
#include "support/test_jvm/test_jvm_variables.h"
#include "support/test_jvm/test_runtime.h"
#include "support/test_paths.h"
#include "support/test_text.h"
#include "support/ui_driver.h"

using namespace harness;

namespace {

// Generous limits: a program start under Wine takes about half a second.
constexpr DWORD kWindowLimit = 15000;
constexpr DWORD kExitLimit = 15000;
constexpr std::int32_t kBound = 0;
constexpr std::int32_t kNotBound = 1;

class BindProbeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sandbox.createEmpty());
        tracePath = sandbox.pathOf(L"trace.txt");
    }

    std::optional<RunningProcess> startProbe(const std::vector<std::wstring>& arguments) const
    {
        std::wstring probe = probePath(L"bind_probe.exe");
        ProcessStart start(probe, commandLineOf(probe, arguments));
        EnvironmentBlock environment = EnvironmentBlock::inherited();
        environment.set(test_jvm::kTraceVariable, tracePath);
        start.environment = environment;
        return RunningProcess::start(start);
    }

    // Runs the probe with the arguments and expects it to bind the runtime's
    // library and its helper from the runtime's bin folder, with no box: a box
    // would keep the probe from ending.
    void expectBoundWithHelperFromBin(const std::vector<std::wstring>& arguments,
                                      const std::wstring& home,
                                      const std::wstring& jvmLibrary) const
    {
        std::optional<RunningProcess> probe = startProbe(arguments);
        ASSERT_TRUE(probe);
        ProcessOutcome outcome = probe->waitForExit(kExitLimit);
        EXPECT_TRUE(outcome.finished);
        EXPECT_EQ(outcome.exitCode, kBound);
        std::vector<std::string> expected = {
            "loaded " + toUtf8(jvmLibrary),
            "helper " + toUtf8(home + L"\\bin\\test_jvm_helper.dll"),
        };
        EXPECT_EQ(readTestJvmTrace(tracePath), expected);
    }

    // Runs the probe on the path, reads the one box it shows, presses OK and
    // expects the probe to end with "not bound" right after: a second box
    // would keep it from ending.
    std::wstring boxOfFailingBind(const std::wstring& jvmLibrary) const
    {
        std::optional<RunningProcess> probe = startProbe({jvmLibrary});
        EXPECT_TRUE(probe) << "the probe did not start, error " << GetLastError();
        if (!probe) {
            return {};
        }
        std::optional<HWND> box = waitForDialog(probe->id(), kWindowLimit);
        EXPECT_TRUE(box) << "no message box appeared";
        if (!box) {
            return {};
        }
        std::wstring text = messageBoxText(*box).value_or(L"");
        EXPECT_EQ(GetWindow(*box, GW_OWNER), nullptr);
        EXPECT_TRUE(clickButton(*box, IDOK));
        ProcessOutcome outcome = probe->waitForExit(kExitLimit);
        EXPECT_TRUE(outcome.finished) << "the probe did not end after one box";
        EXPECT_EQ(outcome.exitCode, kNotBound);
        return text;
    }

    ProductSandbox sandbox;
    std::wstring tracePath;
};

std::wstring libraryNotLoadedText(const std::wstring& path, DWORD error)
{
    return L"Konnte Java VM Bibliothek: " + path + L" (Fehlernummer= " + std::to_wstring(error) +
           L") nicht laden.\n";
}

// The error number of a "library not loaded" text that names the path; 0 when
// the text is not that message for that path.
DWORD errorNumberIn(const std::wstring& text, const std::wstring& path)
{
    std::wstring head = L"Konnte Java VM Bibliothek: " + path + L" (Fehlernummer= ";
    if (!text.starts_with(head)) {
        return 0;
    }
    size_t end = head.size();
    while (end < text.size() && std::iswdigit(text[end])) {
        ++end;
    }
    if (end == head.size()) {
        return 0;
    }
    return std::stoul(text.substr(head.size(), end - head.size()));
}

// What the system says when this process loads the path as the bind does.
DWORD loadErrorOf(const std::wstring& path)
{
    HMODULE library = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
    DWORD error = GetLastError();
    if (library != nullptr) {
        FreeLibrary(library);
        return 0;
    }
    return error;
}

TEST_F(BindProbeTest, MissingLibraryShowsItsPathAndTheSystemsErrorNumber)
{
    std::wstring missing = sandbox.pathOf(L"jre\\bin\\server\\jvm.dll");
    std::wstring text = boxOfFailingBind(missing);

    DWORD error = errorNumberIn(text, missing);
    EXPECT_NE(error, 0u) << toUtf8(text);
    // The number is the system's own for this failure (126 on Windows).
    EXPECT_EQ(error, loadErrorOf(missing));
    EXPECT_EQ(text, libraryNotLoadedText(missing, error));
}

TEST_F(BindProbeTest, X86LibraryInThe64BitProcessShowsBadExeFormat)
{
    std::optional<std::wstring> pairLauncher = pairLauncherPath();
    if (!pairLauncher) {
        GTEST_SKIP() << "this tree was built without the paired 32-bit tree";
    }
    std::optional<std::wstring> jvmLibrary = layOutTestRuntime(
        sandbox.pathOf(L"jre32"), TestJvm::complete, L"server", folderOf(*pairLauncher));
    ASSERT_TRUE(jvmLibrary) << "the x86 test runtime is missing from the 32-bit tree";

    EXPECT_EQ(boxOfFailingBind(*jvmLibrary),
              libraryNotLoadedText(*jvmLibrary, ERROR_BAD_EXE_FORMAT));
}

TEST_F(BindProbeTest, LibraryWithoutTheJniEntriesShowsOneBoxForTheFirstMissingName)
{
    std::optional<std::wstring> jvmLibrary =
        layOutTestRuntime(sandbox.pathOf(L"jre"), TestJvm::withoutJniEntries);
    ASSERT_TRUE(jvmLibrary);

    EXPECT_EQ(boxOfFailingBind(*jvmLibrary),
              L"Windows Fehler: Kann CreateJavaVM JNI nicht finden (Fehlernummer = 127).\n");
    // The library itself was loaded; only its entry points were missing.
    std::vector<std::string> trace = readTestJvmTrace(tracePath);
    ASSERT_EQ(trace.size(), 2u);
    EXPECT_EQ(trace.front(), "loaded " + toUtf8(*jvmLibrary));
}

TEST_F(BindProbeTest, DependenciesOfTheLibraryAreFoundInTheRuntimesBinFolder)
{
    std::wstring home = sandbox.pathOf(L"Java Runtime äöü");
    std::optional<std::wstring> jvmLibrary = layOutTestRuntime(home, TestJvm::complete);
    ASSERT_TRUE(jvmLibrary);

    // Without the bin folder on the search path the library cannot load: its
    // helper lies nowhere else.
    std::optional<RunningProcess> control = startProbe({L"--load-only", *jvmLibrary});
    ASSERT_TRUE(control);
    ProcessOutcome controlOutcome = control->waitForExit(kExitLimit);
    ASSERT_TRUE(controlOutcome.finished);
    EXPECT_EQ(controlOutcome.exitCode, static_cast<std::int32_t>(ERROR_MOD_NOT_FOUND));

    expectBoundWithHelperFromBin({*jvmLibrary}, home, *jvmLibrary);
}

// A Windows 7 without the update that brought AddDllDirectory rejects the
// LOAD_LIBRARY_SEARCH_* flags: the bind falls back to a full-path load that
// still finds the library's helper in the runtime's bin folder.
TEST_F(BindProbeTest, WithoutTheSearchFlagsTheFullPathFallbackStillFindsTheBinFolder)
{
    std::wstring home = sandbox.pathOf(L"Java Runtime äöü");
    std::optional<std::wstring> jvmLibrary = layOutTestRuntime(home, TestJvm::complete);
    ASSERT_TRUE(jvmLibrary);

    expectBoundWithHelperFromBin({L"--without-search-flags", *jvmLibrary}, home, *jvmLibrary);
}

TEST_F(BindProbeTest, WithoutTheSearchFlagsAMissingLibraryShowsTheSameMessage)
{
    std::wstring missing = sandbox.pathOf(L"jre\\bin\\server\\jvm.dll");
    std::optional<RunningProcess> probe = startProbe({L"--without-search-flags", missing});
    ASSERT_TRUE(probe);
    std::optional<HWND> box = waitForDialog(probe->id(), kWindowLimit);
    ASSERT_TRUE(box) << "no message box appeared";
    std::wstring text = messageBoxText(*box).value_or(L"");
    EXPECT_TRUE(clickButton(*box, IDOK));
    ProcessOutcome outcome = probe->waitForExit(kExitLimit);
    EXPECT_TRUE(outcome.finished);
    EXPECT_EQ(outcome.exitCode, kNotBound);
    EXPECT_EQ(text, libraryNotLoadedText(missing, ERROR_MOD_NOT_FOUND));
}

TEST_F(BindProbeTest, TraceOfSeveralProcessesKeepsEveryLine)
{
    std::optional<std::wstring> jvmLibrary =
        layOutTestRuntime(sandbox.pathOf(L"jre"), TestJvm::withoutBootClassFinder);
    ASSERT_TRUE(jvmLibrary);

    std::vector<RunningProcess> probes;
    for (int index = 0; index < 3; ++index) {
        std::optional<RunningProcess> probe = startProbe({*jvmLibrary});
        ASSERT_TRUE(probe);
        probes.push_back(std::move(*probe));
    }
    for (RunningProcess& probe : probes) {
        ProcessOutcome outcome = probe.waitForExit(kExitLimit);
        EXPECT_TRUE(outcome.finished);
        EXPECT_EQ(outcome.exitCode, kBound);
    }
    std::vector<std::string> trace = readTestJvmTrace(tracePath);
    EXPECT_EQ(std::count(trace.begin(), trace.end(), "loaded " + toUtf8(*jvmLibrary)), 3);
    EXPECT_EQ(trace.size(), 6u);
}

}  // namespace
