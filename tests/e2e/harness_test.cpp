// The harness proves itself on real processes: a message box of the
// launcher's ErrorReporter read and pressed, signed exit codes, a program
// killed at its limit, command lines and environments passed exactly, a
// product folder laid out and removed, and the built executables' imports.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <set>

#include "support/command_line.h"
#include "support/handle_owners.h"
#include "support/pe_imports.h"
#include "support/polling.h"
#include "support/process_runner.h"
#include "support/sandbox.h"
#include "support/screenshot.h"
#include "support/test_paths.h"
#include "support/test_text.h"
#include "support/ui_driver.h"

using namespace harness;
using namespace std::string_literals;

namespace {

// Generous limits: a program start under Wine takes about half a second.
constexpr DWORD kWindowLimit = 15000;
constexpr DWORD kExitLimit = 15000;
constexpr DWORD kIconLimit = 3000;
constexpr std::int32_t kProbeClosedWithOk = -7;

std::optional<RunningProcess> startErrorBoxProbe(const std::wstring& mode)
{
    std::wstring probe = probePath(L"error_box_probe.exe");
    return RunningProcess::start(ProcessStart(probe, commandLineOf(probe, {mode})));
}

TEST(ErrorBoxProbe, WindowsErrorBoxShowsExactTextCaptionIconAndOneButton)
{
    std::optional<RunningProcess> probe = startErrorBoxProbe(L"202");
    ASSERT_TRUE(probe);
    std::optional<HWND> box = waitForDialog(probe->id(), kWindowLimit);
    ASSERT_TRUE(box) << "no message box appeared";

    // The text control holds the trailing line feed as it was formatted.
    EXPECT_EQ(messageBoxText(*box),
              L"Windows Fehler: konnte den Modulpfad nicht finden (Fehlernummer = 3).\n");
    // No caption was given: the box carries the system's own, "Error" in English.
    std::wstring caption = windowText(*box);
    EXPECT_EQ(caption, defaultMessageBoxCaption());
    EXPECT_FALSE(caption.empty());
    if (PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_ENGLISH) {
        EXPECT_EQ(caption, L"Error");
    }
    EXPECT_EQ(messageBoxIcon(*box, kIconLimit), MessageBoxIcon::error);
    EXPECT_EQ(buttonTexts(*box), std::vector<std::wstring>{L"OK"});

    std::optional<std::wstring> screenshot = saveScreenshot(L"harness-error-box", *box);
    ASSERT_TRUE(screenshot);
    std::optional<std::string> png = readFileBytes(*screenshot);
    ASSERT_TRUE(png);
    EXPECT_TRUE(png->starts_with("\x89PNG\r\n\x1a\n"));

    std::optional<ControlState> ok = controlWithText(*box, L"OK");
    ASSERT_TRUE(ok);
    ASSERT_TRUE(clickButton(*box, L"OK"));
    // The pointer went there: a real click, not a message to the button.
    POINT cursor{};
    GetCursorPos(&cursor);
    EXPECT_EQ(cursor.x, (ok->rect.left + ok->rect.right) / 2);
    EXPECT_EQ(cursor.y, (ok->rect.top + ok->rect.bottom) / 2);
    ProcessOutcome outcome = probe->waitForExit(kExitLimit);
    EXPECT_TRUE(outcome.finished);
    EXPECT_FALSE(outcome.killed);
    EXPECT_EQ(outcome.exitCode, kProbeClosedWithOk);
}

TEST(ErrorBoxProbe, TextLongerThan255CharactersArrivesWhole)
{
    std::optional<RunningProcess> probe = startErrorBoxProbe(L"long");
    ASSERT_TRUE(probe);
    // The box's message loop is the probe's first wait for input.
    EXPECT_TRUE(probe->waitForInputIdle(kWindowLimit));
    std::optional<HWND> box = waitForDialog(probe->id(), kWindowLimit);
    ASSERT_TRUE(box);
    std::optional<std::wstring> text = messageBoxText(*box);
    ASSERT_TRUE(text);
    EXPECT_GT(text->size(), 255u);
    EXPECT_TRUE(text->starts_with(L"Diese Meldung ist absichtlich lang"));
    EXPECT_TRUE(text->ends_with(L"Ende der Meldung.")) << harness::toUtf8(*text);
    EXPECT_EQ(messageBoxIcon(*box, kIconLimit), MessageBoxIcon::error);

    // Enter presses the default button, as a person at the keyboard would.
    ASSERT_TRUE(bringToFront(*box));
    ASSERT_TRUE(pressKey(VK_RETURN));
    ProcessOutcome outcome = probe->waitForExit(kExitLimit);
    EXPECT_TRUE(outcome.finished);
    EXPECT_EQ(outcome.exitCode, kProbeClosedWithOk);
}

TEST(ErrorBoxProbe, IconDetectionTellsTheErrorIconFromTheOthers)
{
    const std::pair<const wchar_t*, MessageBoxIcon> cases[] = {
        {L"warning", MessageBoxIcon::warning},
        {L"information", MessageBoxIcon::information},
        {L"question", MessageBoxIcon::question}};
    for (const auto& [mode, expected] : cases) {
        SCOPED_TRACE(harness::toUtf8(mode));
        std::optional<RunningProcess> probe = startErrorBoxProbe(mode);
        ASSERT_TRUE(probe);
        std::optional<HWND> box = waitForDialog(probe->id(), kWindowLimit);
        ASSERT_TRUE(box);
        MessageBoxIcon icon = messageBoxIcon(*box, kIconLimit);
        EXPECT_EQ(icon, expected) << harness::toUtf8(iconName(icon));
        EXPECT_NE(icon, MessageBoxIcon::error);
        ASSERT_TRUE(clickButton(*box, IDOK));
        EXPECT_EQ(probe->waitForExit(kExitLimit).exitCode, kProbeClosedWithOk);
    }
}

TEST(ErrorBoxProbe, BoxClosedOtherThanByOkGivesTheOtherCode)
{
    std::optional<RunningProcess> probe = startErrorBoxProbe(L"202");
    ASSERT_TRUE(probe);
    std::optional<HWND> box = waitForDialog(probe->id(), kWindowLimit);
    ASSERT_TRUE(box);
    // Closing the window is not pressing OK: the probe must tell them apart,
    // or the OK tests above would prove nothing about the click.
    ASSERT_TRUE(PostMessageW(*box, WM_CLOSE, 0, 0));
    EXPECT_TRUE(waitForWindowToClose(*box, kWindowLimit));
    ProcessOutcome outcome = probe->waitForExit(kExitLimit);
    EXPECT_TRUE(outcome.finished);
    EXPECT_EQ(outcome.exitCode, -8);
}

TEST(ProcessRunner, ProgramThatNeverEndsIsKilledAtTheLimit)
{
    std::optional<RunningProcess> probe =
        RunningProcess::start(ProcessStart(probePath(L"hang_probe.exe")));
    ASSERT_TRUE(probe);
    ProcessOutcome outcome = probe->waitForExit(3000);
    EXPECT_FALSE(outcome.finished);
    EXPECT_TRUE(outcome.killed);
    EXPECT_FALSE(probe->isRunning());
}

TEST(ProcessRunner, KillingAlsoEndsWhatTheProgramStarted)
{
    ProductSandbox sandbox;
    ASSERT_TRUE(sandbox.createEmpty());
    std::wstring probe = probePath(L"hang_probe.exe");
    std::wstring pidFile = sandbox.pathOf(L"child.pid");
    std::optional<RunningProcess> parent = RunningProcess::start(
        ProcessStart(probe, commandLineOf(probe, {L"--start-child", pidFile})));
    ASSERT_TRUE(parent);

    std::optional<std::string> pid;
    auto written = [&] {
        pid = readFileBytes(pidFile);
        return pid && !pid->empty();
    };
    ASSERT_TRUE(pollUntil(written, 10000)) << "the probe did not start its child";
    KernelHandle child(
        OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, std::stoul(*pid)));
    ASSERT_TRUE(child);
    ASSERT_EQ(WaitForSingleObject(child.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));

    EXPECT_TRUE(parent->waitForExit(1000).killed);
    EXPECT_EQ(WaitForSingleObject(child.get(), 5000), WAIT_OBJECT_0)
        << "the child outlived its parent";
}

TEST(ProcessRunner, PassesCommandLineFolderEnvironmentAndStandardHandles)
{
    ProductSandbox sandbox;
    ASSERT_TRUE(sandbox.createEmpty(L" Prüf Ordner"));
    std::wstring probe = probePath(L"environment_probe.exe");
    std::wstring report = sandbox.pathOf(L"report.txt");
    std::wstring appData = sandbox.pathOf(L"Roaming Ä");

    ASSERT_TRUE(SetEnvironmentVariableW(L"TARVO_HARNESS_REMOVED", L"here"));
    ASSERT_TRUE(SetEnvironmentVariableW(L"TARVO_HARNESS_KEPT", L"kept value"));
    EnvironmentBlock environment = EnvironmentBlock::inherited();
    environment.set(L"APPDATA", appData);
    environment.set(L"tarvo_harness_kept", L"changed value");  // names ignore case
    environment.remove(L"tarvo_harness_removed");
    EXPECT_EQ(environment.get(L"TARVO_HARNESS_KEPT"), L"changed value");

    // 0x80000000 is the smallest signed 32-bit value: the runner must not widen it unsigned.
    std::wstring commandLine =
        commandLineOf(probe, {report, L"0x80000000", L"APPDATA", L"TARVO_HARNESS_KEPT",
                              L"TARVO_HARNESS_REMOVED", L"SystemRoot"});
    ProcessStart start(probe, commandLine);
    start.currentFolder = sandbox.folder();
    start.environment = environment;
    start.outputFile = sandbox.pathOf(L"out.txt");
    start.errorFile = sandbox.pathOf(L"err.txt");
    std::optional<ProcessOutcome> outcome = runProcess(start, kExitLimit);
    ASSERT_TRUE(outcome);
    EXPECT_TRUE(outcome->finished);
    EXPECT_EQ(outcome->exitCode, INT32_MIN);

    std::string expected = harness::toUtf8(commandLine + L"\n" + sandbox.folder() + L"\nAPPDATA=" +
                                           appData + L"\nTARVO_HARNESS_KEPT=changed value\n" +
                                           L"TARVO_HARNESS_REMOVED absent\n");
    std::optional<std::string> written = readFileBytes(report);
    ASSERT_TRUE(written);
    // SystemRoot comes from this process's environment, whatever its value.
    EXPECT_TRUE(written->starts_with(expected)) << *written;
    EXPECT_NE(written->find("\nSystemRoot="), std::string::npos) << *written;
    EXPECT_EQ(readFileBytes(sandbox.pathOf(L"out.txt")), "out");
    EXPECT_EQ(readFileBytes(sandbox.pathOf(L"err.txt")), "err");
}

TEST(ProcessRunner, QuotedArgumentsSplitBackUnchanged)
{
    const std::vector<std::wstring> arguments = {L"plain",
                                                 L"two words",
                                                 L"",
                                                 L"C:\\Program Files\\Acme\\",
                                                 L"say \"hi\"",
                                                 L"back\\\\\"slash",
                                                 L"\\\\server\\share\\",
                                                 L"tab\there",
                                                 L"trailing\\"};
    std::wstring commandLine = commandLineOf(L"C:\\Acme Editor\\Acme Editor.exe", arguments);
    std::optional<std::vector<std::wstring>> split = splitCommandLine(commandLine.c_str());
    ASSERT_TRUE(split && !split->empty());
    std::vector<std::wstring> parsed(split->begin() + 1, split->end());
    EXPECT_EQ(split->front(), L"C:\\Acme Editor\\Acme Editor.exe");
    EXPECT_EQ(parsed, arguments);
}

bool pathExists(const std::wstring& path)
{
    return GetFileAttributesW(extendedLengthPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

TEST(Sandbox, LaysOutAProductFolderAndRemovesAllOfIt)
{
    ProductSandbox sandbox;
    ASSERT_TRUE(sandbox.create(L"Acme Editor", L" mit Ü"));
    EXPECT_TRUE(sandbox.folder().ends_with(L" mit Ü"));
    EXPECT_EQ(sandbox.executablePath(), sandbox.folder() + L"\\Acme Editor.exe");
    EXPECT_EQ(sandbox.iniPath(), sandbox.folder() + L"\\Acme Editor.ini");
    std::optional<std::string> copied = readFileBytes(sandbox.executablePath());
    ASSERT_TRUE(copied);
    EXPECT_EQ(copied, readFileBytes(launcherPath()));

    // Bytes, not text: an ANSI umlaut, a NUL and a bare CR must survive as written.
    const std::string ini = "[Settings]\r\nMain Class=de.acme.M\xE4in\r\nOdd=\x00\r\r\n"s;
    ASSERT_TRUE(sandbox.writeIni(ini));
    EXPECT_EQ(readFileBytes(sandbox.iniPath()), ini);
    ASSERT_TRUE(sandbox.writeFile(L"jre/bin/server/jvm.dll", "not a library"));
    EXPECT_EQ(sandbox.readFile(L"jre\\bin\\server\\jvm.dll"), "not a library");
    ASSERT_TRUE(sandbox.createFolder(L"empty\\inner"));
    EXPECT_TRUE(sandbox.exists(L"empty\\inner"));
    ASSERT_TRUE(sandbox.writeFile(L"read-only.txt", "locked"));
    ASSERT_TRUE(
        SetFileAttributesW(sandbox.pathOf(L"read-only.txt").c_str(), FILE_ATTRIBUTE_READONLY));

    // A file deeper than 260 characters.
    std::wstring deep;
    for (int level = 0; level < 8; ++level) {
        deep += L"folder-with-a-rather-long-name-" + std::to_wstring(level) + L"\\";
    }
    deep += L"file.txt";
    ASSERT_TRUE(sandbox.writeFile(deep, "deep"));
    ASSERT_GT(sandbox.pathOf(deep).size(), 260u);
    EXPECT_EQ(sandbox.readFile(deep), "deep");

    std::wstring folder = sandbox.folder();
    ASSERT_TRUE(sandbox.remove());
    EXPECT_FALSE(pathExists(folder));
}

TEST(Sandbox, EndingTheSandboxRemovesItsFolder)
{
    std::wstring folder;
    {
        ProductSandbox sandbox;
        ASSERT_TRUE(sandbox.create());
        ASSERT_TRUE(sandbox.writeFile(L"a\\b.txt", "x"));
        folder = sandbox.folder();
        ASSERT_TRUE(pathExists(folder + L"\\Acme Editor.exe"));
    }
    EXPECT_FALSE(pathExists(folder));
}

TEST(Sandbox, TwoSandboxesNeverShareAFolder)
{
    ProductSandbox first;
    ProductSandbox second;
    ASSERT_TRUE(first.createEmpty());
    ASSERT_TRUE(second.createEmpty());
    EXPECT_NE(first.folder(), second.folder());
}

std::wstring lowerCase(std::wstring text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
    return text;
}

// The launcher starts fast because it loads nothing but what every Windows has,
// from a file of at most 200 KB.
void expectOnlySystemImports(const std::wstring& executable)
{
    SCOPED_TRACE(harness::toUtf8(executable));
    std::optional<std::string> bytes = readFileBytes(executable);
    ASSERT_TRUE(bytes) << "cannot read the executable";
    std::optional<std::vector<std::string>> names = importedDllNames(
        std::span(reinterpret_cast<const std::uint8_t*>(bytes->data()), bytes->size()));
    ASSERT_TRUE(names) << "not a readable PE image";
    EXPECT_FALSE(names->empty()) << "an executable without imports was not read right";
    // Every start reads the whole file: the shipped build stays small.
    constexpr size_t kShippedSizeLimit = 200 * 1024;
    EXPECT_LE(bytes->size(), kShippedSizeLimit) << "the shipped executable is above 200 KB";
    const std::set<std::wstring> allowed = {L"kernel32.dll", L"user32.dll", L"advapi32.dll",
                                            L"msvcrt.dll"};
    for (const std::string& name : *names) {
        EXPECT_TRUE(allowed.contains(lowerCase(std::wstring(name.begin(), name.end()))))
            << "imports " << name;
    }
}

TEST(BuiltExecutables, ImportOnlyWindowsSystemDlls)
{
    expectOnlySystemImports(launcherPath());
    expectOnlySystemImports(consoleLauncherPath());
    if (std::optional<std::wstring> pair = pairLauncherPath()) {
        expectOnlySystemImports(*pair);
    }
    if (std::optional<std::wstring> pair = pairConsoleLauncherPath()) {
        expectOnlySystemImports(*pair);
    }
}

}  // namespace
