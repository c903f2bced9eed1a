// Real Java through the launcher, with windows: an exception that leaves main
// shows the real runtime's stack trace in the launcher's dialog, and the
// choice there decides how the program ends; the Swing sample opens its
// window and File > Quit ends it.
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>

#include "real_java_product.h"
#include "support/screenshot.h"
#include "support/test_paths.h"
#include "support/test_text.h"
#include "support/ui_driver.h"

using namespace harness;

namespace {

constexpr int kIgnore = 1;
constexpr int kStop = 2;
constexpr int kTrace = 208;

const std::wstring kCaption = L"Java Fehler";

class RealJavaDialog : public RealJavaTest {};

TEST_F(RealJavaDialog, ExceptionDialogShowsTheRealTraceAndTheChoiceDecidesTheEnd)
{
    ASSERT_TRUE(
        product.writeSettings("tarvo.e2e.Throws", "", "[Application]\r\nFailure Check=Yes\r\n"));
    struct Choice {
        int button;
        int exitCode;
    };
    for (Choice choice : {Choice{kIgnore, 0}, Choice{kStop, -1}}) {
        SCOPED_TRACE(choice.button == kIgnore ? "Ignore" : "Stop");
        ProcessStart start(product.sandbox().executablePath());
        start.currentFolder = product.sandbox().folder();
        start.environment = product.environment();
        start.outputFile = product.sandbox().pathOf(kOutputName);
        start.errorFile = product.sandbox().pathOf(kErrorName);
        std::optional<RunningProcess> launcher = RunningProcess::start(start);
        ASSERT_TRUE(launcher);
        // Any dialog counts, so that a message box instead fails at once.
        std::optional<HWND> dialog = waitForDialog(launcher->id(), kRealRunLimit);
        ASSERT_TRUE(dialog) << "the exception dialog did not appear; errors: "
                            << textOf(kErrorName);
        ASSERT_EQ(windowText(*dialog), kCaption)
            << toUtf8(messageBoxText(*dialog).value_or(L"")) << textOf(kErrorName);
        std::optional<ControlState> trace = controlWithId(*dialog, kTrace);
        ASSERT_TRUE(trace);

        // The program printed the same throwable's trace before throwing it:
        // the dialog shows what the runtime itself renders, cause included.
        const std::wstring printed = fromUtf8(textOf(kOutputName));
        const std::wstring shown = windowText(trace->handle);
        EXPECT_EQ(shown, printed) << toUtf8(shown);
        EXPECT_TRUE(shown.starts_with(L"java.lang.RuntimeException: \u00c4u\u00dfere Schicht"))
            << toUtf8(shown);
        EXPECT_NE(shown.find(L"Caused by: java.lang.IllegalStateException: innen: Gr\u00fc\u00dfe"),
                  std::wstring::npos)
            << toUtf8(shown);
        EXPECT_NE(shown.find(L"at tarvo.e2e.Throws.failInside(Throws.java:"), std::wstring::npos)
            << toUtf8(shown);

        ASSERT_TRUE(clickButton(*dialog, choice.button));
        ProcessOutcome outcome = launcher->waitForExit(kRealRunLimit);
        EXPECT_TRUE(outcome.finished);
        EXPECT_EQ(outcome.exitCode, choice.exitCode);
        // Shown once: the runtime does not report it again on the way out.
        EXPECT_EQ(textOf(kErrorName).find("Exception in thread"), std::string::npos)
            << textOf(kErrorName);
    }
}

TEST_F(RealJavaDialog, SwingSampleShowsItsWindowAndQuitEndsWithZero)
{
    // The sample's jar, built beside the test programs.
    const std::wstring sampleJar = testProgramFolder() + L"\\editor.jar";
    if (GetFileAttributesW(sampleJar.c_str()) == INVALID_FILE_ATTRIBUTES) {
        GTEST_SKIP() << "the sample editor.jar was not built (no JDK 17 at build time)";
    }
    ASSERT_TRUE(product.sandbox().createFolder(L"lib"));
    ASSERT_TRUE(
        CopyFileW(sampleJar.c_str(), product.sandbox().pathOf(L"lib\\editor.jar").c_str(), FALSE));
    // The program takes a picture of its painted window, then chooses File >
    // Quit by itself.
    ASSERT_TRUE(
        product.sandbox().writeIni("[Java Runtime Environment]\r\nMain Class=sample.editor.Main\r\n"
                                   "Virtual Machine Parameters=-Dsample.product=\"Sample Editor\" "
                                   "-Dsample.screenshot=window.png -Dsample.quitAfterSeconds=2\r\n"
                                   "[Class Path]\r\nClass Path=lib\\editor.jar\r\n"));
    LauncherRun run = product.run({L"first argument"}, kRealRunLimit);
    EXPECT_TRUE(run.outcome.finished) << "the sample did not end by itself";
    EXPECT_EQ(run.outcome.exitCode, 0) << textOf(kErrorName);
    EXPECT_EQ(run.boxes, std::vector<std::wstring>{});
    EXPECT_NE(textOf(kOutputName).find("sample: choosing File > Quit"), std::string::npos)
        << textOf(kOutputName) << textOf(kErrorName);

    std::optional<Image> picture = loadPicture(product.sandbox().pathOf(L"window.png"));
    ASSERT_TRUE(picture) << "no screenshot; output: " << textOf(kOutputName) << textOf(kErrorName);
    ASSERT_FALSE(picture->isEmpty());
    // A painted window is more than one colour: a good share of its pixels
    // differ from the corner's.
    const int all = picture->width() * picture->height();
    const int likeTheCorner = countPixelsNear(*picture, picture->pixel(0, 0), 16);
    EXPECT_GT(all - likeTheCorner, all / 100) << picture->width() << "x" << picture->height()
                                              << ", " << likeTheCorner << " pixels like the corner";
}

}  // namespace
