// The settings step of a real start: the launcher copied into a product
// folder under the product's name, its settings file beside it, APPDATA
// pointing into the sandbox. A missing "Main Class" must end the start with
// message 210 and exit code -1; everything else passes the step silently and
// goes on to look for a runtime.
// A variant of the launcher and a probe carry embedded settings, to show how
// the embedded layer, the settings file and the per-user file combine.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "support/polling.h"
#include "support/process_runner.h"
#include "support/sandbox.h"
#include "support/screenshot.h"
#include "support/test_paths.h"
#include "support/test_text.h"
#include "support/ui_driver.h"

using namespace harness;

namespace {

// Generous limits: a start under Wine takes about half a second.
constexpr DWORD kWindowLimit = 15000;
constexpr DWORD kExitLimit = 15000;
constexpr DWORD kIconLimit = 3000;

const wchar_t kMainClassMissing[] = L"Main class in der INI-Datei nicht spezifiziert.";
const wchar_t kRuntimeDialogCaption[] = L"JRE nicht gefunden";
const wchar_t kProduct[] = L"Acme Editor";

std::wstring variantPath(const wchar_t* fileName)
{
    return testProgramFolder() + L"\\" + fileName;
}

// A product folder with the executable under the product's name and, when
// given, its settings file.
void layOut(ProductSandbox& sandbox, const std::wstring& executable,
            const std::optional<std::string>& iniText, std::wstring_view folderSuffix = L"")
{
    ASSERT_TRUE(sandbox.createEmpty(folderSuffix));
    ASSERT_TRUE(sandbox.installExecutable(executable, kProduct));
    if (iniText) {
        ASSERT_TRUE(sandbox.writeIni(*iniText));
    }
}

// APPDATA inside the sandbox keeps the user's real profile out of reach.
EnvironmentBlock environmentFor(const ProductSandbox& sandbox)
{
    EnvironmentBlock environment = EnvironmentBlock::inherited();
    environment.set(L"APPDATA", sandbox.pathOf(L"AppData"));
    return environment;
}

std::optional<RunningProcess> startProduct(const ProductSandbox& sandbox,
                                           const std::vector<std::wstring>& arguments = {})
{
    ProcessStart start(sandbox.executablePath(),
                       commandLineOf(sandbox.executablePath(), arguments));
    start.currentFolder = sandbox.folder();
    start.environment = environmentFor(sandbox);
    return RunningProcess::start(start);
}

// Any window the process shows before it ends or the limit passes.
std::optional<HWND> windowShownBeforeExit(const RunningProcess& process, DWORD limitMilliseconds)
{
    std::vector<HWND> windows;
    auto shownOrEnded = [&] {
        windows = topLevelWindowsOf(process.id());
        return !windows.empty() || !process.isRunning();
    };
    static_cast<void>(pollUntil(shownOrEnded, limitMilliseconds));
    return windows.empty() ? std::nullopt : std::optional<HWND>(windows.front());
}

void expectMainClassMessageAndFailure(RunningProcess& process, std::wstring_view screenshotName)
{
    std::optional<HWND> box = waitForDialog(process.id(), kWindowLimit);
    ASSERT_TRUE(box) << "no message box appeared";
    EXPECT_EQ(messageBoxText(*box), kMainClassMissing);
    // No caption of its own: the system's word for "Error".
    EXPECT_EQ(windowText(*box), defaultMessageBoxCaption());
    EXPECT_EQ(messageBoxIcon(*box, kIconLimit), MessageBoxIcon::error);
    EXPECT_EQ(buttonTexts(*box), std::vector<std::wstring>{L"OK"});
    static_cast<void>(saveScreenshot(screenshotName, *box));

    ASSERT_TRUE(clickButton(*box, L"OK"));
    ProcessOutcome outcome = process.waitForExit(kExitLimit);
    EXPECT_TRUE(outcome.finished);
    EXPECT_EQ(outcome.exitCode, -1);
}

// No runtime is anywhere near the sandbox, so a start that gets past the
// settings asks for one: the first window it shows is the runtime-not-found
// dialog, and cancelling it ends the start with -1.
void expectRuntimeDialogAfterTheSettings(RunningProcess& process)
{
    std::optional<HWND> window = windowShownBeforeExit(process, kWindowLimit);
    ASSERT_TRUE(window) << "no window appeared";
    if (windowText(*window) != kRuntimeDialogCaption) {
        static_cast<void>(saveScreenshot(L"settings-unexpected-window", *window));
        ADD_FAILURE() << "another window appeared: " << harness::toUtf8(windowText(*window))
                      << " / " << harness::toUtf8(messageBoxText(*window).value_or(L""));
    }
    ASSERT_TRUE(clickButton(*window, IDCANCEL));
    ProcessOutcome outcome = process.waitForExit(kExitLimit);
    EXPECT_TRUE(outcome.finished);
    EXPECT_EQ(outcome.exitCode, -1);
}

TEST(SettingsStep, MissingMainClassShowsMessage210AndExitsWithMinusOne)
{
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        {"no key", "[Java Runtime Environment]\r\nJRE Path=jre\r\nMinimum Version=1.8\r\n"},
        {"empty value", "[Java Runtime Environment]\r\nMain Class=\r\n"},
        {"blank value", "[Java Runtime Environment]\r\nMain Class=   \r\n"},
        {"key in another section", "[Application]\r\nMain Class=com.example.App\r\n"},
        {"no settings file", std::nullopt},
    };
    for (const auto& [name, iniText] : cases) {
        SCOPED_TRACE(name);
        ProductSandbox sandbox;
        layOut(sandbox, launcherPath(), iniText);
        std::optional<RunningProcess> process = startProduct(sandbox);
        ASSERT_TRUE(process);
        expectMainClassMessageAndFailure(*process, L"settings-main-class-missing");
    }
}

TEST(SettingsStep, BrokenPairProductChangesNothing)
{
    const char brokenPair[] =
        "[Application]\r\nPair Product=\"<>|*?::\\\\\r\nPair Return Code=YES\r\n";
    {
        SCOPED_TRACE("without main class");
        ProductSandbox sandbox;
        layOut(sandbox, launcherPath(), std::string(brokenPair));
        std::optional<RunningProcess> process = startProduct(sandbox);
        ASSERT_TRUE(process);
        expectMainClassMessageAndFailure(*process, L"settings-broken-pair-product");
    }
    {
        SCOPED_TRACE("with main class");
        ProductSandbox sandbox;
        layOut(sandbox, launcherPath(),
               std::string(brokenPair) + "[Java Runtime Environment]\r\nMain Class=App\r\n");
        std::optional<RunningProcess> process = startProduct(sandbox);
        ASSERT_TRUE(process);
        expectRuntimeDialogAfterTheSettings(*process);
    }
}

// The UTF-16 file is what Notepad writes as "Unicode"; the profile
// functions read it as well as the 8-bit one.
std::string utf16File(const std::wstring& text)
{
    std::string bytes("\xFF\xFE");
    for (wchar_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>((c >> 8) & 0xFF);
    }
    return bytes;
}

TEST(SettingsStep, MainClassSetGetsPastTheSettingsStep)
{
    const std::pair<const char*, std::string> cases[] = {
        {"dotted name", "[Java Runtime Environment]\r\nMain Class=com.example.App\r\n"},
        {"key names in other letter case",
         "[java runtime environment]\r\nMAIN CLASS=com/example/App\r\n"},
        {"every start-up key",
         "[Product Information]\r\nProduct Name=Acme: Editor?\r\nProduct Code=AE-1\r\n"
         "[Java Runtime Environment]\r\nMain Class=com.example.App\r\nMinimum Version=any\r\n"
         "Maximum Version=\r\nPreferred versions=17;11\r\nJRE Path=jre\r\nJVM Type=server\r\n"
         "JVM Source=nonsense\r\nVM Provider=IBM\r\nSystem Path=%SystemRoot%\r\n"
         "Library Path=lib\r\n"
         "[Application]\r\nApplication Type=service\r\nFailure Check=YES\r\n"
         "Override WorkingDir=yes\r\n"},
        {"UTF-16 settings file",
         utf16File(L"[Java Runtime Environment]\r\nMain Class=de.beispiel.Gr\u00f6\u00dfe\r\n")},
    };
    for (const auto& [name, iniText] : cases) {
        SCOPED_TRACE(name);
        ProductSandbox sandbox;
        layOut(sandbox, launcherPath(), iniText);
        std::optional<RunningProcess> process = startProduct(sandbox, {L"document.txt"});
        ASSERT_TRUE(process);
        expectRuntimeDialogAfterTheSettings(*process);
    }
}

TEST(EmbeddedSettingsLauncher, EmbeddedMainClassServesWhenTheFileHasNone)
{
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        {"no settings file", std::nullopt},
        {"no key", "[Java Runtime Environment]\r\nJRE Path=jre\r\n"},
        {"empty value", "[Java Runtime Environment]\r\nMain Class=\r\n"},
        {"plus section", "[Java Runtime Environment+]\r\nMain Class=Extra\r\n"},
    };
    for (const auto& [name, iniText] : cases) {
        SCOPED_TRACE(name);
        ProductSandbox sandbox;
        layOut(sandbox, variantPath(L"tarvo_embedded.exe"), iniText);
        std::optional<RunningProcess> process = startProduct(sandbox);
        ASSERT_TRUE(process);
        expectRuntimeDialogAfterTheSettings(*process);
    }
}

// What the probe's settings reader made of the files, by field name.
using Report = std::map<std::string, std::string>;

class SettingsReportTest : public testing::Test {
protected:
    // Runs the probe as the product, with the settings file given (none when
    // absent) and "doc.txt" as its one argument.
    Report reportFor(const std::optional<std::string>& iniText)
    {
        if (sandbox_.folder().empty()) {
            layOut(sandbox_, variantPath(L"settings_report_probe.exe"), std::nullopt,
                   L" Pr\u00fcf");
        }
        std::wstring reportFile = sandbox_.pathOf(L"report.txt");
        static_cast<void>(DeleteFileW(reportFile.c_str()));
        if (iniText) {
            EXPECT_TRUE(sandbox_.writeIni(*iniText));
        } else {
            static_cast<void>(DeleteFileW(sandbox_.iniPath().c_str()));
        }
        ProcessStart probe(sandbox_.executablePath(),
                           commandLineOf(sandbox_.executablePath(), {L"doc.txt"}));
        probe.currentFolder = sandbox_.folder();
        probe.environment = environmentFor(sandbox_);
        probe.environment->set(L"TARVO_SETTINGS_REPORT", reportFile);
        std::optional<ProcessOutcome> outcome = runProcess(probe, kExitLimit);
        EXPECT_TRUE(outcome && outcome->finished);

        Report report;
        std::optional<std::string> text = readFileBytes(reportFile);
        EXPECT_TRUE(text) << "the probe wrote no report";
        size_t start = 0;
        while (text && start < text->size()) {
            size_t end = text->find('\n', start);
            std::string line = text->substr(start, end - start);
            size_t equals = line.find('=');
            report[line.substr(0, equals)] = line.substr(equals + 1);
            start = end == std::string::npos ? text->size() : end + 1;
        }
        return report;
    }

    void writeUserFile(std::string_view bytes)
    {
        // The product name loses its colon and question mark on the way to a folder name.
        ASSERT_TRUE(sandbox_.writeFile(L"AppData\\Acme Editor\\AE-1\\Acme Editor.ini", bytes));
    }

    ProductSandbox sandbox_;
};

const char kProductKeys[] =
    "[Product Information]\r\nProduct Name=Acme: Editor?\r\nProduct Code=AE-1\r\n";

TEST_F(SettingsReportTest, EmbeddedValuesFillWhatTheFileLeavesOut)
{
    Report report = reportFor(std::nullopt);
    EXPECT_EQ(report["read"], "1");
    EXPECT_EQ(report["mainClass"], harness::toUtf8(L"com/example/eingebettet/Gr\u00f6\u00dfe"));
    EXPECT_EQ(report["systemPath"], "C:\\embedded\\bin");
    EXPECT_EQ(report["vendors"], "000011");  // "ibm"
    EXPECT_EQ(report["failureCheck"], "1");
    EXPECT_EQ(report["jrePath"], "D:\\EmbeddedJava");
    EXPECT_EQ(report["arguments"], harness::toUtf8(L"doc.txt|--embedded|zwei W\u00f6rter"));
    // Product keys come from the settings file alone, never from the embedded layer.
    EXPECT_EQ(report["productName"], "");
    EXPECT_EQ(report["productCode"], "");
    // No "Maximum Version" anywhere: no upper bound.
    EXPECT_EQ(report["maximumVersion"], "65535.65535.65535.65535");
}

TEST_F(SettingsReportTest, FileValuesWinOverEmbeddedOnes)
{
    Report report = reportFor(
        "[java runtime environment]\r\nMain Class=com.example.FromFile\r\n"
        "System Path=E:\\file\r\nVM Provider=any\r\n"
        "[Java Runtime Environment+]\r\nSystem Path=E:\\ignored\r\n"
        "[Application]\r\nFailure Check=no\r\nCmd=--file\r\n");
    EXPECT_EQ(report["mainClass"], "com/example/FromFile");
    EXPECT_EQ(report["systemPath"], "E:\\file");
    EXPECT_EQ(report["vendors"], "101010");
    EXPECT_EQ(report["failureCheck"], "0");
    EXPECT_EQ(report["arguments"], "doc.txt|--file");
    // Untouched keys still come from the embedded layer.
    EXPECT_EQ(report["libraryPath"], "C:\\embedded\\native");
}

TEST_F(SettingsReportTest, PlusSectionsAppendToEmbeddedValues)
{
    Report report = reportFor(
        "[Java Runtime Environment+]\r\nLibrary Path=E:\\more\r\nMain Class=Extra\r\n"
        "Minimum Version=1.8\r\n"
        "[Application+]\r\nCmd=--more \"drei vier\"\r\n");
    EXPECT_EQ(report["libraryPath"], "C:\\embedded\\native E:\\more");
    EXPECT_EQ(report["mainClass"],
              harness::toUtf8(L"com/example/eingebettet/Gr\u00f6\u00dfe Extra"));
    EXPECT_EQ(report["arguments"],
              harness::toUtf8(L"doc.txt|--embedded|zwei W\u00f6rter|--more|drei vier"));
    // A "+" value with nothing embedded under it counts all the same.
    EXPECT_EQ(report["minimumVersion"], "1.8.0.0");
}

TEST_F(SettingsReportTest, PerUserFileDecidesTheJrePathOfAnApplication)
{
    const std::string settings = std::string(kProductKeys) +
                                 "[Java Runtime Environment]\r\nMain Class=App\r\n"
                                 "JRE Path=runtime\\jre\r\n";
    Report beside = reportFor(settings);
    EXPECT_EQ(beside["productName"], "Acme: Editor?");
    EXPECT_EQ(beside["productCode"], "AE-1");
    // Relative to the executable's folder, whatever the current folder.
    EXPECT_EQ(beside["jrePath"], harness::toUtf8(sandbox_.pathOf(L"runtime\\jre")));
    EXPECT_FALSE(sandbox_.exists(L"AppData\\Acme Editor")) << "reading created folders";

    writeUserFile("[Java Runtime Environment]\r\nOther=1\r\n");
    EXPECT_EQ(reportFor(settings)["jrePath"], "");

    writeUserFile("[Java Runtime Environment]\r\nJRE Path=F:\\Chosen\\\r\n");
    EXPECT_EQ(reportFor(settings)["jrePath"], "F:\\Chosen\\");

    Report service = reportFor(settings + "[Application]\r\nApplication Type=service\r\n");
    EXPECT_EQ(service["isService"], "1");
    EXPECT_EQ(service["jrePath"], harness::toUtf8(sandbox_.pathOf(L"runtime\\jre")));
}

}  // namespace
