// The runtime-not-found dialog of a real start: a product with no Java
// runtime anywhere (none beside it, none registered, no JAVA_HOME), the test
// runtime laid out in a folder of its own for the user to pick with the
// shell's real folder browser.
#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "runtime/runtime_dialog_ids.h"
#include "support/folder_tree.h"
#include "support/java_product.h"
#include "support/polling.h"
#include "support/saved_registry_value.h"
#include "support/screenshot.h"
#include "support/test_jvm/test_jvm_variables.h"
#include "support/test_paths.h"
#include "support/test_text.h"
#include "support/ui_driver.h"

using namespace harness;

namespace {

constexpr DWORD kWindowLimit = 15000;
constexpr DWORD kExitLimit = 30000;
constexpr UINT kAnswerLimit = 5000;

const wchar_t kCaption[] = L"JRE nicht gefunden";
const wchar_t kMessageStart[] =
    L"Die Java-Laufzeitumgebung (JRE) wurde nicht gefunden. Bitte downloaden und installieren Sie "
    L"eine JRE ";
const wchar_t kLinkColorsKey[] = L"Software\\Microsoft\\Internet Explorer\\Settings";
const wchar_t kHttpsOpenKey[] = L"Software\\Classes\\https\\shell\\open\\command";
const std::wstring kDownloadAddress = L"" RUNTIME_DOWNLOAD_ADDRESS;

const Colour kBlue{0, 0, 255};
const Colour kRed{255, 0, 0};
const Colour kGreen{0, 128, 0};
// Text pixels may be smoothed at their edges; the underline is solid.
constexpr int kColourTolerance = 40;
constexpr int kLinkPixelsWanted = 20;

std::optional<HWND> descendantOfClass(HWND window, const wchar_t* className)
{
    for (const ControlState& control : controlsOf(window)) {
        if (_wcsicmp(control.className.c_str(), className) == 0) {
            return control.handle;
        }
    }
    return std::nullopt;
}

// How many pixels of the control, as the screen shows it, are near the colour.
int pixelsNear(HWND control, Colour colour)
{
    std::optional<Image> picture = captureScreenRect(windowRect(control));
    return picture ? countPixelsNear(*picture, colour, kColourTolerance) : 0;
}

// Polls until the control shows the colour; false at the limit.
bool waitForColour(HWND control, Colour colour)
{
    return pollUntil([&] { return pixelsNear(control, colour) >= kLinkPixelsWanted; },
                     kWindowLimit);
}

Colour colourOf(COLORREF value)
{
    return Colour{GetRValue(value), GetGValue(value), GetBValue(value)};
}

// The thread's focus and capture windows, as the system keeps them.
GUITHREADINFO guiStateOf(HWND window)
{
    GUITHREADINFO state{};
    state.cbSize = sizeof(state);
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &state);
    return state;
}

// A product with the test runtime moved out of the launcher's reach: the
// launcher finds no runtime and shows the dialog.
class RuntimeDialog : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(product.create());
        // Beside the executable the launcher would find it by itself.
        pickableRuntime = product.sandbox().pathOf(L"Java\\Laufzeit");
        ASSERT_TRUE(product.sandbox().createFolder(L"Java"));
        ASSERT_TRUE(MoveFileW(product.sandbox().pathOf(L"jre64").c_str(), pickableRuntime.c_str()));
        // APPDATA exists on every real machine; the launcher makes only the folders below it.
        ASSERT_TRUE(product.sandbox().createFolder(L"AppData"));
    }

    // The paired executable beside this one, by its full path.
    std::string pairProductLine() const
    {
        return "Pair Product=" + toUtf8(product.sandbox().pathOf(L"acme32.exe")) + "\r\n";
    }

    // The launcher ends by itself, with the exit code given.
    static void expectExit(RunningProcess& launcher, int exitCode)
    {
        ProcessOutcome outcome = launcher.waitForExit(kExitLimit);
        EXPECT_TRUE(outcome.finished);
        EXPECT_EQ(outcome.exitCode, exitCode);
    }

    std::optional<RunningProcess> startLauncher()
    {
        ProcessStart start(product.sandbox().executablePath(),
                           commandLineOf(product.sandbox().executablePath(), {}));
        start.currentFolder = product.sandbox().folder();
        start.environment = product.environment();
        return RunningProcess::start(start);
    }

    // The dialog once it is shown and painted (the link drawn in the colour given).
    std::optional<HWND> waitForRuntimeDialog(const RunningProcess& process,
                                             Colour linkColour = kBlue)
    {
        std::optional<HWND> dialog = waitForTopLevelWindow(
            process.id(), [](HWND window) { return windowText(window) == kCaption; }, kWindowLimit);
        if (dialog) {
            EXPECT_TRUE(waitForColour(GetDlgItem(*dialog, IDC_DOWNLOAD_LINK), linkColour))
                << "the link never showed its colour";
        }
        return dialog;
    }

    std::optional<HWND> openFolderBrowser(const RunningProcess& process, HWND dialog)
    {
        if (!clickButton(dialog, IDC_BROWSE_RUNTIME)) {
            return std::nullopt;
        }
        return waitForTopLevelWindow(
            process.id(),
            [dialog](HWND window) {
                return window != dialog && windowClassName(window) == kDialogClass &&
                       descendantOfClass(window, WC_TREEVIEWW).has_value();
            },
            kWindowLimit);
    }

    // Picks the folder in the shell's folder browser, as a person would: the
    // "Durchsuche..." button, the folder selected in the tree, then OK.
    void pickFolder(const RunningProcess& process, HWND dialog, const std::wstring& folder)
    {
        std::optional<HWND> browser = openFolderBrowser(process, dialog);
        ASSERT_TRUE(browser) << "no folder browser appeared";
        std::optional<HWND> treeWindow = descendantOfClass(*browser, WC_TREEVIEWW);
        ASSERT_TRUE(treeWindow);
        FolderTree tree(process.handle(), *treeWindow);
        std::optional<HTREEITEM> item = tree.itemOf(folder);
        ASSERT_TRUE(item) << "not in the browser's tree: " << toUtf8(folder);
        ASSERT_TRUE(tree.select(*item));
        ASSERT_TRUE(clickButton(*browser, IDOK));
        ASSERT_TRUE(waitForWindowToClose(*browser, kWindowLimit));
        // The dialog shows the folder, then looks into it: once it answers a
        // message after that, OK is settled.
        ASSERT_TRUE(pollUntil([&] { return folderText(dialog) == folder; }, kWindowLimit))
            << "the dialog does not show " << toUtf8(folder);
        ASSERT_TRUE(askWindow(dialog, WM_NULL, 0, 0, kAnswerLimit));
    }

    std::wstring folderText(HWND dialog) const
    {
        return windowText(GetDlgItem(dialog, IDC_RUNTIME_FOLDER));
    }
    bool okEnabled(HWND dialog) const { return IsWindowEnabled(GetDlgItem(dialog, IDOK)); }

    // Everything under the sandbox but the runtime and the trace: the
    // settings files among them.
    std::vector<std::pair<std::wstring, std::string>> settingsFiles() const
    {
        std::vector<std::pair<std::wstring, std::string>> files;
        for (const wchar_t* name :
             {L"Acme Editor.ini", L"acme32.ini", L"AppData\\Acme Editor\\AE-1\\Acme Editor.ini",
              L"AppData\\Acme Editor\\AE-1\\acme32.ini"}) {
            files.emplace_back(name, product.sandbox().readFile(name).value_or("(none)"));
        }
        return files;
    }

    std::string jrePathLine() const { return "JRE Path=" + toUtf8(pickableRuntime) + "\\"; }

    // A settings file of the sandbox as UTF-8 text: a file the launcher
    // created is UTF-16LE with its byte-order mark, one the test wrote is ANSI
    // (ASCII here); an absent file is an empty text.
    std::string settingsText(const wchar_t* relativePath) const
    {
        std::string bytes = product.sandbox().readFile(relativePath).value_or("");
        if (!bytes.starts_with("\xFF\xFE")) {
            return bytes;
        }
        std::wstring text;
        for (size_t index = 2; index + 1 < bytes.size(); index += 2) {
            text += static_cast<wchar_t>(static_cast<unsigned char>(bytes[index]) |
                                         (static_cast<unsigned char>(bytes[index + 1]) << 8));
        }
        return toUtf8(text);
    }

    JavaProduct product;
    std::wstring pickableRuntime;
};

const char kProductSections[] =
    "[Product Information]\r\nProduct Name=Acme Editor\r\nProduct Code=AE-1\r\n";

TEST_F(RuntimeDialog, OpensWithTheMessageOkDisabledAndNoFolder)
{
    ASSERT_TRUE(product.writeSettings("tarvo.test.Main"));
    std::optional<RunningProcess> launcher = startLauncher();
    ASSERT_TRUE(launcher);
    std::optional<HWND> dialog = waitForRuntimeDialog(*launcher);
    ASSERT_TRUE(dialog);
    static_cast<void>(saveScreenshot(L"runtime-not-found-dialog", *dialog));

    EXPECT_EQ(windowText(GetDlgItem(*dialog, IDC_RUNTIME_MESSAGE)),
              std::wstring(kMessageStart) + L"(neueste Version) von:");
    EXPECT_EQ(windowText(GetDlgItem(*dialog, IDC_DOWNLOAD_LINK)), kDownloadAddress);
    EXPECT_FALSE(okEnabled(*dialog));
    EXPECT_EQ(folderText(*dialog), L"");
    EXPECT_EQ(buttonTexts(*dialog),
              (std::vector<std::wstring>{L"Ok", L"Abbrechen", L"Durchsuche...", L"Kein JRE"}));
    // Centred on the screen, there being no owner.
    RECT frame = windowRect(*dialog);
    RECT work{};
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
    EXPECT_LE(std::abs((frame.left + frame.right) - (work.left + work.right)), 2);
    EXPECT_LE(std::abs((frame.top + frame.bottom) - (work.top + work.bottom)), 2);

    ASSERT_TRUE(clickButton(*dialog, L"Abbrechen"));
    expectExit(*launcher, -1);
}

TEST_F(RuntimeDialog, ServerOnlyAsksForTheServerJvmAndEscapeCancels)
{
    ASSERT_TRUE(product.writeSettings(
        "tarvo.test.Main", "JVM Type=server\r\nMinimum Version=11\r\n",
        std::string(kProductSections) + "[Application]\r\n" + pairProductLine()));
    auto filesBefore = settingsFiles();
    std::optional<RunningProcess> launcher = startLauncher();
    ASSERT_TRUE(launcher);
    std::optional<HWND> dialog = waitForRuntimeDialog(*launcher);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(windowText(GetDlgItem(*dialog, IDC_RUNTIME_MESSAGE)),
              std::wstring(kMessageStart) + L"mit Server JVM (minimum Version 11.0) von:");

    ASSERT_TRUE(bringToFront(*dialog));
    ASSERT_TRUE(pressKey(VK_ESCAPE));
    expectExit(*launcher, -1);
    EXPECT_EQ(settingsFiles(), filesBefore);
    EXPECT_FALSE(product.sandbox().exists(L"AppData\\Acme Editor"));
}

TEST_F(RuntimeDialog, CancelAfterPickingARuntimeWritesNothing)
{
    ASSERT_TRUE(product.writeSettings(
        "tarvo.test.Main", "",
        std::string(kProductSections) + "[Application]\r\n" + pairProductLine()));
    auto filesBefore = settingsFiles();
    std::optional<RunningProcess> launcher = startLauncher();
    ASSERT_TRUE(launcher);
    std::optional<HWND> dialog = waitForRuntimeDialog(*launcher);
    ASSERT_TRUE(dialog);
    pickFolder(*launcher, *dialog, pickableRuntime);
    EXPECT_TRUE(okEnabled(*dialog));

    ASSERT_TRUE(clickButton(*dialog, L"Abbrechen"));
    expectExit(*launcher, -1);
    EXPECT_EQ(settingsFiles(), filesBefore);
    EXPECT_FALSE(product.sandbox().exists(L"AppData\\Acme Editor"));
    EXPECT_TRUE(readTestJvmTrace(product.tracePath()).empty()) << "the runtime was loaded";
}

TEST_F(RuntimeDialog, OnlyAFolderWithAJvmLibraryEnablesOk)
{
    ASSERT_TRUE(product.writeSettings("tarvo.test.Main"));
    std::optional<RunningProcess> launcher = startLauncher();
    ASSERT_TRUE(launcher);
    std::optional<HWND> dialog = waitForRuntimeDialog(*launcher);
    ASSERT_TRUE(dialog);

    std::wstring parent = product.sandbox().pathOf(L"Java");
    {
        SCOPED_TRACE("a folder without a JVM library");
        pickFolder(*launcher, *dialog, parent);
        EXPECT_EQ(folderText(*dialog), parent);
        EXPECT_FALSE(okEnabled(*dialog));
    }
    {
        SCOPED_TRACE("the runtime's folder");
        pickFolder(*launcher, *dialog, pickableRuntime);
        EXPECT_EQ(folderText(*dialog), pickableRuntime);
        EXPECT_TRUE(okEnabled(*dialog));
    }
    {
        SCOPED_TRACE("a cancelled browser changes nothing");
        std::optional<HWND> browser = openFolderBrowser(*launcher, *dialog);
        ASSERT_TRUE(browser);
        ASSERT_TRUE(clickButton(*browser, IDCANCEL));
        ASSERT_TRUE(waitForWindowToClose(*browser, kWindowLimit));
        ASSERT_TRUE(askWindow(*dialog, WM_NULL, 0, 0, kAnswerLimit));
        EXPECT_EQ(folderText(*dialog), pickableRuntime);
        EXPECT_TRUE(okEnabled(*dialog));
    }
    {
        SCOPED_TRACE("its bin folder, which holds no runtime of its own");
        pickFolder(*launcher, *dialog, pickableRuntime + L"\\bin");
        EXPECT_EQ(folderText(*dialog), pickableRuntime + L"\\bin");
        EXPECT_FALSE(okEnabled(*dialog));
    }
    ASSERT_TRUE(clickButton(*dialog, IDCANCEL));
    EXPECT_EQ(launcher->waitForExit(kExitLimit).exitCode, -1);
}

// OK runs the program with the runtime picked and remembers its folder for
// this user; the next start finds it there and asks nobody.
TEST_F(RuntimeDialog, OkRunsTheProgramAndTheNextStartFindsTheRuntime)
{
    ASSERT_TRUE(product.writeSettings(
        "tarvo.test.Main", "",
        std::string(kProductSections) + "[Application]\r\n" + pairProductLine()));
    std::optional<std::string> besideBefore = product.sandbox().readFile(L"Acme Editor.ini");
    std::optional<RunningProcess> launcher = startLauncher();
    ASSERT_TRUE(launcher);
    std::optional<HWND> dialog = waitForRuntimeDialog(*launcher);
    ASSERT_TRUE(dialog);
    pickFolder(*launcher, *dialog, pickableRuntime);
    ASSERT_TRUE(clickButton(*dialog, L"Ok"));
    expectExit(*launcher, 0);
    std::vector<std::string> trace = readTestJvmTrace(product.tracePath());
    EXPECT_TRUE(mainArgumentsFromTrace(trace).has_value()) << "main did not run";

    for (const wchar_t* userFile : {L"AppData\\Acme Editor\\AE-1\\Acme Editor.ini",
                                    L"AppData\\Acme Editor\\AE-1\\acme32.ini"}) {
        SCOPED_TRACE(toUtf8(userFile));
        std::string text = settingsText(userFile);
        EXPECT_NE(text.find("[Java Runtime Environment]"), std::string::npos) << text;
        EXPECT_NE(text.find(jrePathLine()), std::string::npos) << text;
    }
    EXPECT_EQ(product.sandbox().readFile(L"Acme Editor.ini"), besideBefore);
    EXPECT_FALSE(product.sandbox().exists(L"acme32.ini"));

    LauncherRun next = product.run({L"again"}, kExitLimit);
    EXPECT_TRUE(next.outcome.finished);
    EXPECT_EQ(next.outcome.exitCode, 0);
    EXPECT_TRUE(next.boxes.empty()) << toUtf8(next.boxes.front());
    EXPECT_EQ(mainArgumentsFromTrace(next.trace), std::vector<std::wstring>{L"again"});
}

TEST_F(RuntimeDialog, AServiceRemembersTheRuntimeBesideTheExecutable)
{
    ASSERT_TRUE(product.writeSettings("tarvo.test.Main", "",
                                      std::string(kProductSections) +
                                          "[Application]\r\nApplication Type=service\r\n" +
                                          pairProductLine()));
    std::optional<RunningProcess> launcher = startLauncher();
    ASSERT_TRUE(launcher);
    std::optional<HWND> dialog = waitForRuntimeDialog(*launcher);
    ASSERT_TRUE(dialog);
    pickFolder(*launcher, *dialog, pickableRuntime);
    ASSERT_TRUE(clickButton(*dialog, L"Ok"));
    expectExit(*launcher, 0);

    for (const wchar_t* besideFile : {L"Acme Editor.ini", L"acme32.ini"}) {
        SCOPED_TRACE(toUtf8(besideFile));
        std::string text = settingsText(besideFile);
        EXPECT_NE(text.find(jrePathLine()), std::string::npos) << text;
    }
    EXPECT_FALSE(product.sandbox().exists(L"AppData\\Acme Editor"));

    LauncherRun next = product.run({}, kExitLimit);
    EXPECT_EQ(next.outcome.exitCode, 0);
    EXPECT_TRUE(next.boxes.empty());
}

// The link takes the browser's link colour from the registry.
TEST_F(RuntimeDialog, LinkColourComesFromTheBrowserSettings)
{
    ASSERT_TRUE(product.writeSettings("tarvo.test.Main"));
    SavedRegistryValue anchorColor(HKEY_CURRENT_USER, kLinkColorsKey, L"Anchor Color");
    struct Case {
        const char* name;
        std::optional<std::wstring> value;
        Colour shown;
    };
    const Case cases[] = {
        {"no value", std::nullopt, kBlue},
        {"255,0,0", L"255,0,0", kRed},
        {"only one comma", L"255,0", kBlue},
        {"empty blue part", L"255,0,", kBlue},
        {"longer than the value may be", L"255,  0,    0", kBlue},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        ASSERT_TRUE(test.value ? anchorColor.setText(*test.value) : anchorColor.remove());
        std::optional<RunningProcess> launcher = startLauncher();
        ASSERT_TRUE(launcher);
        std::optional<HWND> dialog = waitForRuntimeDialog(*launcher, test.shown);
        ASSERT_TRUE(dialog);
        HWND link = GetDlgItem(*dialog, IDC_DOWNLOAD_LINK);
        for (Colour other : {kBlue, kRed}) {
            if (other != test.shown) {
                EXPECT_EQ(pixelsNear(link, other), 0);
            }
        }
        if (test.shown == kRed) {
            static_cast<void>(saveScreenshot(L"runtime-not-found-dialog-red-link", *dialog));
        }
        ASSERT_TRUE(clickButton(*dialog, IDCANCEL));
        EXPECT_EQ(launcher->waitForExit(kExitLimit).exitCode, -1);
    }
}

// Opening the link is seen through the shell: the https handler is a probe
// that writes down its command line.
TEST_F(RuntimeDialog, LinkOpensOnSpaceButNotOnAPressThatEndsBesideIt)
{
    ASSERT_TRUE(product.writeSettings("tarvo.test.Main"));
    SavedRegistryValue visitedColor(HKEY_CURRENT_USER, kLinkColorsKey, L"Anchor Color Visited");
    ASSERT_TRUE(visitedColor.setText(L"0,128,0"));
    SavedRegistryValue httpsHandler(HKEY_LOCAL_MACHINE, kHttpsOpenKey, L"");
    std::wstring report = product.sandbox().pathOf(L"opened.txt");
    ASSERT_TRUE(httpsHandler.setText(quoteArgument(probePath(L"environment_probe.exe")) + L" " +
                                     quoteArgument(report) + L" 0 \"%1\""));

    std::optional<RunningProcess> launcher = startLauncher();
    ASSERT_TRUE(launcher);
    std::optional<HWND> dialog = waitForRuntimeDialog(*launcher);
    ASSERT_TRUE(dialog);
    HWND link = GetDlgItem(*dialog, IDC_DOWNLOAD_LINK);
    ASSERT_TRUE(bringToFront(*dialog));
    RECT linkFrame = windowRect(link);
    POINT onText{linkFrame.left + 10, (linkFrame.top + linkFrame.bottom) / 2};
    POINT beside{linkFrame.left + 10, linkFrame.bottom + 25};

    {
        SCOPED_TRACE("pressed on the text, released beside it");
        ASSERT_TRUE(mouseAt(onText, MOUSEEVENTF_LEFTDOWN));
        auto focusedAndCaptured = [&] {
            GUITHREADINFO state = guiStateOf(link);
            return state.hwndFocus == link && state.hwndCapture == link;
        };
        EXPECT_TRUE(pollUntil(focusedAndCaptured, kWindowLimit))
            << "the press did not focus and capture the link";
        ASSERT_TRUE(mouseAt(beside, MOUSEEVENTF_LEFTUP));
        EXPECT_TRUE(
            pollUntil([&] { return guiStateOf(link).hwndCapture == nullptr; }, kWindowLimit));
        // A message answered after the release has been handled.
        ASSERT_TRUE(askWindow(*dialog, WM_NULL, 0, 0, kAnswerLimit));
        EXPECT_TRUE(waitForColour(link, kBlue));
        EXPECT_EQ(pixelsNear(link, kGreen), 0);
        EXPECT_FALSE(product.sandbox().exists(L"opened.txt"));
    }
    {
        SCOPED_TRACE("Space on the focused link");
        ASSERT_TRUE(pressKey(VK_SPACE));
        EXPECT_TRUE(
            pollUntil([&] { return product.sandbox().exists(L"opened.txt"); }, kWindowLimit))
            << "the link did not open";
        auto addressWritten = [&] {
            std::string text = product.sandbox().readFile(L"opened.txt").value_or("");
            return text.find(toUtf8(kDownloadAddress)) != std::string::npos;
        };
        EXPECT_TRUE(pollUntil(addressWritten, kWindowLimit))
            << product.sandbox().readFile(L"opened.txt").value_or("");
        // Opened: the link now shows the visited colour of the settings.
        EXPECT_TRUE(waitForColour(link, kGreen));
        EXPECT_EQ(pixelsNear(link, kBlue), 0);
    }
    {
        SCOPED_TRACE("disabled");
        EnableWindow(link, FALSE);
        Colour grey = colourOf(GetSysColor(COLOR_GRAYTEXT));
        EXPECT_TRUE(waitForColour(link, grey));
        EXPECT_EQ(pixelsNear(link, kGreen), 0);
        static_cast<void>(saveScreenshot(L"runtime-not-found-dialog-disabled-link", *dialog));
    }
    ASSERT_TRUE(clickButton(*dialog, IDCANCEL));
    EXPECT_EQ(launcher->waitForExit(kExitLimit).exitCode, -1);
}

// The cursor over the link's text is another than the dialog's arrow beside
// it. (Which cursor it is cannot be told from another process under Wine;
// the in-process tests check that it is the hand.)
TEST_F(RuntimeDialog, CursorChangesOverTheLinkText)
{
    ASSERT_TRUE(product.writeSettings("tarvo.test.Main"));
    std::optional<RunningProcess> launcher = startLauncher();
    ASSERT_TRUE(launcher);
    std::optional<HWND> dialog = waitForRuntimeDialog(*launcher);
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(bringToFront(*dialog));
    HWND link = GetDlgItem(*dialog, IDC_DOWNLOAD_LINK);
    RECT linkFrame = windowRect(link);
    POINT onText{linkFrame.left + 10, (linkFrame.top + linkFrame.bottom) / 2};
    POINT beside{linkFrame.left + 10, linkFrame.bottom + 25};
    ASSERT_TRUE(mouseAt(beside, 0));
    // The arrow, once two looks a moment apart agree.
    HCURSOR arrow = nullptr;
    auto steadyArrow = [&] {
        HCURSOR first = shownCursor();
        Sleep(200);
        arrow = shownCursor();
        return arrow != nullptr && arrow == first;
    };
    ASSERT_TRUE(pollUntil(steadyArrow, kWindowLimit));
    ASSERT_TRUE(mouseAt(onText, 0));
    EXPECT_TRUE(pollUntil([&] { return shownCursor() != arrow; }, kWindowLimit));
    HCURSOR overText = shownCursor();
    ASSERT_TRUE(mouseAt(beside, 0));
    EXPECT_TRUE(pollUntil([&] { return shownCursor() == arrow; }, kWindowLimit));
    ASSERT_TRUE(mouseAt(onText, 0));
    EXPECT_TRUE(pollUntil([&] { return shownCursor() == overText; }, kWindowLimit));
    ASSERT_TRUE(clickButton(*dialog, IDCANCEL));
    EXPECT_EQ(launcher->waitForExit(kExitLimit).exitCode, -1);
}

}  // namespace
