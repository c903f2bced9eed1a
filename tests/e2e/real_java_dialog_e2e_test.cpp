// Real Java through the launcher, with windows: an exception that leaves main
// shows the real runtime's stack trace in the launcher's dialog, and the
// choice there decides how the program ends.
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>

#include "real_java_product.h"
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
        std::optional<HWND> dialog = waitForTopLevelWindow(
            launcher->id(),
            [](HWND window) {
                return windowClassName(window) == kDialogClass && windowText(window) == kCaption;
            },
            kRealRunLimit);
        ASSERT_TRUE(dialog) << "the exception dialog did not appear; errors: "
                            << textOf(kErrorName);
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

}  // namespace
