// The unhandled-exception dialog end to end: a product whose main throws,
// with "Failure Check" on, shows the whole stack trace; Ignore lets the
// program end normally, Stop, Esc and the close box end it with -1; the
// dialog keeps its controls in place while it grows and cannot shrink below
// its first size. Without "Failure Check" no dialog appears.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "support/java_product.h"
#include "support/polling.h"
#include "support/screenshot.h"
#include "support/test_jvm/test_jvm_classes.h"
#include "support/test_jvm/throws_stack_trace.h"
#include "support/test_text.h"
#include "support/ui_driver.h"

using namespace harness;

namespace {

// Generous limits: a launcher start under Wine takes a second or two.
constexpr DWORD kDialogLimit = 20000;
constexpr DWORD kExitLimit = 20000;
constexpr DWORD kLayoutLimit = 5000;
constexpr DWORD kIconLimit = 3000;

constexpr int kIgnore = 1;
constexpr int kStop = 2;
constexpr int kIcon = 204;
constexpr int kTrace = 208;
constexpr int kFrame = 209;
constexpr int kHeading = 210;
constexpr int kExplanation = 211;
constexpr int kWarning = 212;
constexpr int kSizeGrip = 0xE801;

const std::wstring kCaption = L"Java Fehler";

RECT clientRectOf(HWND control, HWND dialog)
{
    RECT rect = windowRect(control);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

RECT clientRectOf(HWND dialog)
{
    RECT rect{};
    GetClientRect(dialog, &rect);
    return rect;
}

SIZE sizeOf(const RECT& rect)
{
    return {rect.right - rect.left, rect.bottom - rect.top};
}

std::string describe(const RECT& rect)
{
    std::string text = "(";
    text += std::to_string(rect.left) + "," + std::to_string(rect.top) + ")-(";
    text += std::to_string(rect.right) + "," + std::to_string(rect.bottom) + ")";
    return text;
}

bool sameRect(const RECT& a, const RECT& b)
{
    return EqualRect(&a, &b) != FALSE;
}

// Pixels per dialog unit of "MS Shell Dlg" 8 point, from a hidden dialog of
// this process with that font: MapDialogRect answers only for dialogs of the
// calling process.
class DialogUnits {
public:
    DialogUnits()
    {
        // DLGTEMPLATE, no menu, the default class, no title, then the font.
        std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
        auto* head = reinterpret_cast<DLGTEMPLATE*>(words.data());
        head->style = DS_SETFONT | WS_POPUP;
        head->cx = 100;
        head->cy = 100;
        words.insert(words.end(), {0, 0, 0, 8});
        for (wchar_t character : std::wstring_view(L"MS Shell Dlg")) {
            words.push_back(character);
        }
        words.push_back(0);
        dialog_ = CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                                             reinterpret_cast<DLGTEMPLATE*>(words.data()), nullptr,
                                             &ignoreMessages, 0);
    }
    ~DialogUnits()
    {
        if (dialog_ != nullptr) {
            DestroyWindow(dialog_);
        }
    }
    DialogUnits(const DialogUnits&) = delete;
    DialogUnits& operator=(const DialogUnits&) = delete;

    bool ready() const { return dialog_ != nullptr; }

    // x, y, width, height in dialog units as pixels of a client area.
    RECT pixels(int x, int y, int width, int height) const
    {
        RECT rect{x, y, x + width, y + height};
        MapDialogRect(dialog_, &rect);
        return rect;
    }

private:
    static INT_PTR CALLBACK ignoreMessages(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

    HWND dialog_ = nullptr;
};

// The template converts widths on their own and MapDialogRect converts right
// edges: the two may differ by one pixel of rounding.
void expectNear(const RECT& actual, const RECT& expected, const std::string& what)
{
    EXPECT_LE(std::abs(actual.left - expected.left), 1) << what << " " << describe(actual);
    EXPECT_LE(std::abs(actual.top - expected.top), 1) << what << " " << describe(actual);
    EXPECT_LE(std::abs(actual.right - expected.right), 1) << what << " " << describe(actual);
    EXPECT_LE(std::abs(actual.bottom - expected.bottom), 1) << what << " " << describe(actual);
}

// A point of the window's caption where the window itself reports its close box.
std::optional<POINT> closeBoxPoint(HWND window)
{
    RECT rect = windowRect(window);
    for (int y = rect.top; y < rect.top + 40 && y < rect.bottom; y += 2) {
        for (int x = rect.right - 1; x > rect.right - 80 && x > rect.left; x -= 2) {
            if (askWindow(window, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTCLOSE) {
                return POINT{x, y};
            }
        }
    }
    return std::nullopt;
}

// Presses the left button at one point, moves in steps to the other and
// releases it there, through the system's input queue as a hand would.
bool drag(POINT from, POINT to)
{
    if (!mouseAt(from, 0) || !mouseAt(from, MOUSEEVENTF_LEFTDOWN)) {
        return false;
    }
    constexpr int kSteps = 10;
    for (int step = 1; step <= kSteps; ++step) {
        Sleep(30);  // the sizing loop takes each move as it comes
        POINT between{from.x + (to.x - from.x) * step / kSteps,
                      from.y + (to.y - from.y) * step / kSteps};
        if (!mouseAt(between, 0)) {
            return false;
        }
    }
    // Held still a moment before letting go, as a hand does: the sizing loop
    // takes the last move it has seen, not the place of the release.
    Sleep(300);
    return mouseAt(to, MOUSEEVENTF_LEFTUP);
}

class ExceptionDialogRun : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(product.create()); }

    // Starts the product whose main throws; true once the dialog shows.
    bool showDialog()
    {
        if (!product.writeSettings("tarvo.test.Throws", "",
                                   "[Application]\r\nFailure Check=Yes\r\n")) {
            return false;
        }
        DeleteFileW(product.tracePath().c_str());
        ProcessStart start(product.sandbox().executablePath());
        start.currentFolder = product.sandbox().folder();
        start.environment = product.environment();
        launcher = RunningProcess::start(start);
        if (!launcher) {
            return false;
        }
        std::optional<HWND> shown = waitForTopLevelWindow(
            launcher->id(),
            [](HWND window) {
                return windowClassName(window) == kDialogClass && windowText(window) == kCaption;
            },
            kDialogLimit);
        dialog = shown.value_or(nullptr);
        return dialog != nullptr;
    }

    HWND control(int id) const
    {
        std::optional<ControlState> found = controlWithId(dialog, id);
        return found ? found->handle : nullptr;
    }

    // Waits for the launcher to end and reads the runtime's trace.
    ProcessOutcome finish()
    {
        ProcessOutcome outcome = launcher->waitForExit(kExitLimit);
        trace = readTestJvmTrace(product.tracePath());
        return outcome;
    }

    void expectStoppedWithMinusOne(const char* how)
    {
        ProcessOutcome outcome = finish();
        EXPECT_TRUE(outcome.finished) << how;
        EXPECT_EQ(outcome.exitCode, -1) << how;
        EXPECT_TRUE(traceHas(trace, "System.exit -1")) << how;
    }

    JavaProduct product;
    std::optional<RunningProcess> launcher;
    HWND dialog = nullptr;
    std::vector<std::string> trace;
};

TEST_F(ExceptionDialogRun, ShowsTheWholeTraceAndIgnoreLetsTheProgramEndNormally)
{
    ASSERT_TRUE(showDialog()) << "the exception dialog did not appear";
    // Idle means painted: the modal loop paints before it waits for input.
    EXPECT_TRUE(launcher->waitForInputIdle(kDialogLimit));
    static_cast<void>(saveScreenshot(L"exception-dialog", dialog));

    HWND trace = control(kTrace);
    ASSERT_NE(trace, nullptr);
    // Every line, with the non-ASCII message, the frame outside the BMP and
    // the line breaks the runtime wrote.
    EXPECT_EQ(windowText(trace), test_jvm::throwsStackTrace()) << toUtf8(windowText(trace));
    EXPECT_NE(windowStyle(trace) & ES_READONLY, 0u) << "the trace can be edited";

    ASSERT_TRUE(clickButton(dialog, kIgnore));
    ProcessOutcome outcome = finish();
    EXPECT_TRUE(outcome.finished);
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_FALSE(traceHas(this->trace, "System.exit -1"));
    // Shown once and cleared: the VM is not asked to report it again.
    EXPECT_TRUE(std::none_of(this->trace.begin(), this->trace.end(), [](const std::string& line) {
        return line.starts_with("ExceptionDescribe");
    }));
    EXPECT_TRUE(traceHas(this->trace, "DetachCurrentThread"));
}

TEST_F(ExceptionDialogRun, EnterChoosesIgnore)
{
    ASSERT_TRUE(showDialog());
    ASSERT_TRUE(bringToFront(dialog));
    ASSERT_TRUE(pressKey(VK_RETURN));
    ProcessOutcome outcome = finish();
    EXPECT_TRUE(outcome.finished);
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_FALSE(traceHas(trace, "System.exit -1"));
}

TEST_F(ExceptionDialogRun, StopButtonEndsTheProgramWithMinusOne)
{
    ASSERT_TRUE(showDialog());
    ASSERT_TRUE(clickButton(dialog, kStop));
    expectStoppedWithMinusOne("Stop");
}

TEST_F(ExceptionDialogRun, EscapeActsAsStop)
{
    ASSERT_TRUE(showDialog());
    ASSERT_TRUE(bringToFront(dialog));
    ASSERT_TRUE(pressKey(VK_ESCAPE));
    expectStoppedWithMinusOne("Esc");
}

TEST_F(ExceptionDialogRun, CloseBoxActsAsStop)
{
    ASSERT_TRUE(showDialog());
    ASSERT_TRUE(bringToFront(dialog));
    std::optional<POINT> closeBox = closeBoxPoint(dialog);
    ASSERT_TRUE(closeBox) << "the dialog shows no close box";
    ASSERT_TRUE(clickAt(*closeBox));
    expectStoppedWithMinusOne("close box");
}

TEST_F(ExceptionDialogRun, ControlsTextsAndPlacesOfTheTemplate)
{
    DialogUnits units;
    ASSERT_TRUE(units.ready());
    ASSERT_TRUE(showDialog());

    DWORD style = windowStyle(dialog);
    EXPECT_EQ(style & (WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME),
              static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME));
    EXPECT_NE(style & WS_CLIPCHILDREN, 0u);
    RECT client = clientRectOf(dialog);
    expectNear(client, units.pixels(0, 0, 275, 242), "client area");

    struct Expected {
        int id;
        const wchar_t* className;
        const wchar_t* text;
        int x, y, width, height;
    };
    const Expected table[] = {
        {kIgnore, L"Button", L"Ignorieren", 153, 210, 50, 14},
        {kStop, L"Button", L"Stop", 209, 210, 50, 14},
        {kFrame, L"Button", L"Unbehandelte Ausnahme", 8, 11, 259, 221},
        {kIcon, L"Static", nullptr, 16, 26, 20, 20},
        {kHeading, L"Static", L"Der Javaprozess hat die folgende unbehandelte Ausnahme ausgegeben:",
         42, 28, 217, 16},
        {kTrace, L"Edit", nullptr, 16, 54, 243, 102},
        {kExplanation, L"Static",
         L"Klicken Sie auf Ignorieren, um fortzufahren und die Ausnahme zu \u00fcbergehen oder "
         L"Stop, um die Anwendung zu schlie\u00dfen.",
         16, 164, 243, 18},
        {kWarning, L"Static",
         L"Achtung: Wenn Sie die Anwendung anhalten, gehen alle nicht gespeicherten Daten "
         L"verloren.",
         16, 187, 243, 18},
    };
    std::vector<ControlState> controls = controlsOf(dialog);
    // The template's order, then the size grip made when the dialog opened.
    ASSERT_EQ(controls.size(), std::size(table) + 1);
    for (size_t index = 0; index < std::size(table); ++index) {
        const Expected& expected = table[index];
        const ControlState& actual = controls[index];
        std::string what = "control " + std::to_string(expected.id);
        EXPECT_EQ(actual.id, expected.id) << what;
        EXPECT_EQ(_wcsicmp(actual.className.c_str(), expected.className), 0) << what;
        if (expected.text != nullptr) {
            EXPECT_EQ(actual.text, expected.text) << what;
        }
        EXPECT_TRUE(actual.visible) << what;
        RECT rect = clientRectOf(actual.handle, dialog);
        RECT place = units.pixels(expected.x, expected.y, expected.width, expected.height);
        if (expected.id == kIcon) {
            // An icon control takes the size of its icon.
            expectNear({rect.left, rect.top, rect.left, rect.top},
                       {place.left, place.top, place.left, place.top}, what);
        } else {
            expectNear(rect, place, what);
        }
    }
    auto styleOf = [&](int id) { return windowStyle(control(id)); };
    EXPECT_EQ(styleOf(kIgnore) & BS_TYPEMASK, static_cast<DWORD>(BS_DEFPUSHBUTTON));
    EXPECT_EQ(styleOf(kStop) & BS_TYPEMASK, static_cast<DWORD>(BS_PUSHBUTTON));
    EXPECT_EQ(styleOf(kFrame) & BS_TYPEMASK, static_cast<DWORD>(BS_GROUPBOX));
    EXPECT_NE(windowExtendedStyle(control(kFrame)) & WS_EX_TRANSPARENT, 0u);
    EXPECT_EQ(styleOf(kIcon) & SS_TYPEMASK, static_cast<DWORD>(SS_ICON));
    DWORD traceStyle = styleOf(kTrace);
    EXPECT_EQ(traceStyle & (ES_MULTILINE | WS_VSCROLL | WS_TABSTOP),
              static_cast<DWORD>(ES_MULTILINE | WS_VSCROLL | WS_TABSTOP));
    // The dialog manager draws an edit's border as a sunken client edge.
    EXPECT_TRUE((traceStyle & WS_BORDER) != 0 ||
                (windowExtendedStyle(control(kTrace)) & WS_EX_CLIENTEDGE) != 0);
    EXPECT_EQ(messageBoxIcon(dialog, kIconLimit), MessageBoxIcon::error);

    const ControlState& grip = controls.back();
    EXPECT_EQ(grip.id, kSizeGrip);
    EXPECT_EQ(_wcsicmp(grip.className.c_str(), L"ScrollBar"), 0);
    EXPECT_NE(grip.style & SBS_SIZEGRIP, 0u);
    RECT gripRect = clientRectOf(grip.handle, dialog);
    EXPECT_EQ(gripRect.right, client.right) << describe(gripRect);
    EXPECT_EQ(gripRect.bottom, client.bottom) << describe(gripRect);

    // No owner: centred in the work area of its monitor.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    ASSERT_TRUE(GetMonitorInfoW(MonitorFromWindow(dialog, MONITOR_DEFAULTTONEAREST), &monitor));
    RECT window = windowRect(dialog);
    EXPECT_LE(std::abs((window.left + window.right) - (monitor.rcWork.left + monitor.rcWork.right)),
              1)
        << describe(window);
    EXPECT_LE(std::abs((window.top + window.bottom) - (monitor.rcWork.top + monitor.rcWork.bottom)),
              1)
        << describe(window);

    ASSERT_TRUE(clickButton(dialog, kIgnore));
    EXPECT_EQ(finish().exitCode, 0);
}

// Where every control is, in client coordinates.
struct Layout {
    RECT client{};
    std::vector<std::pair<int, RECT>> controls;

    RECT of(int id) const
    {
        for (const auto& [controlId, rect] : controls) {
            if (controlId == id) {
                return rect;
            }
        }
        return {};
    }
};

class ResizedExceptionDialog : public ExceptionDialogRun {
protected:
    Layout layoutNow() const
    {
        Layout layout;
        layout.client = clientRectOf(dialog);
        for (int id :
             {kIgnore, kStop, kFrame, kIcon, kHeading, kTrace, kExplanation, kWarning, kSizeGrip}) {
            layout.controls.push_back({id, clientRectOf(control(id), dialog)});
        }
        return layout;
    }

    // Each control against its place at the start, for a client area grown by dx, dy.
    void expectFollowed(const Layout& start, const Layout& now, int dx, int dy)
    {
        auto moved = [](RECT rect, int left, int top, int right, int bottom) {
            return RECT{rect.left + left, rect.top + top, rect.right + right, rect.bottom + bottom};
        };
        auto check = [&](int id, RECT expected) {
            EXPECT_TRUE(sameRect(now.of(id), expected))
                << "control " << id << " is at " << describe(now.of(id)) << ", expected "
                << describe(expected);
        };
        check(kIgnore, moved(start.of(kIgnore), dx, dy, dx, dy));
        check(kStop, moved(start.of(kStop), dx, dy, dx, dy));
        check(kSizeGrip, moved(start.of(kSizeGrip), dx, dy, dx, dy));
        check(kFrame, moved(start.of(kFrame), 0, 0, dx, dy));
        check(kTrace, moved(start.of(kTrace), 0, 0, dx, dy));
        check(kIcon, start.of(kIcon));
        check(kHeading, moved(start.of(kHeading), 0, 0, dx, 0));
        check(kExplanation, moved(start.of(kExplanation), 0, dy, dx, dy));
        check(kWarning, moved(start.of(kWarning), 0, dy, dx, dy));
        // The buttons stay in the bottom-right corner, as far from it as before.
        EXPECT_EQ(now.client.right - now.of(kStop).right,
                  start.client.right - start.of(kStop).right);
        EXPECT_EQ(now.client.bottom - now.of(kStop).bottom,
                  start.client.bottom - start.of(kStop).bottom);
    }

    bool resizeWindowTo(SIZE size)
    {
        RECT window = windowRect(dialog);
        return SetWindowPos(dialog, nullptr, window.left, window.top, size.cx, size.cy,
                            SWP_NOZORDER | SWP_NOACTIVATE) != FALSE;
    }
};

TEST_F(ResizedExceptionDialog, GrowingStretchesTheTraceAndKeepsTheButtonsInTheCorner)
{
    ASSERT_TRUE(showDialog());
    Layout start = layoutNow();
    SIZE startWindow = sizeOf(windowRect(dialog));

    constexpr int kWider = 160;
    constexpr int kTaller = 120;
    ASSERT_TRUE(resizeWindowTo({startWindow.cx + kWider, startWindow.cy + kTaller}));
    auto stopFollowed = [&] {
        return sameRect(layoutNow().of(kStop),
                        RECT{start.of(kStop).left + kWider, start.of(kStop).top + kTaller,
                             start.of(kStop).right + kWider, start.of(kStop).bottom + kTaller});
    };
    ASSERT_TRUE(pollUntil(stopFollowed, kLayoutLimit))
        << "Stop is at " << describe(layoutNow().of(kStop));
    Layout grown = layoutNow();
    EXPECT_EQ(grown.client.right - start.client.right, kWider);
    EXPECT_EQ(grown.client.bottom - start.client.bottom, kTaller);
    expectFollowed(start, grown, kWider, kTaller);
    static_cast<void>(saveScreenshot(L"exception-dialog-grown", dialog));

    // Smaller again, but still above the first size: laid out from the start.
    ASSERT_TRUE(resizeWindowTo({startWindow.cx + 40, startWindow.cy + 10}));
    ASSERT_TRUE(pollUntil([&] { return layoutNow().client.right == start.client.right + 40; },
                          kLayoutLimit));
    expectFollowed(start, layoutNow(), 40, 10);

    ASSERT_TRUE(clickButton(dialog, kIgnore));
    EXPECT_EQ(finish().exitCode, 0);
}

TEST_F(ResizedExceptionDialog, CannotBeMadeSmallerThanItStarted)
{
    ASSERT_TRUE(showDialog());
    Layout start = layoutNow();
    SIZE startWindow = sizeOf(windowRect(dialog));

    // Narrower and lower at once, then each on its own.
    for (SIZE smaller : {SIZE{startWindow.cx - 120, startWindow.cy - 90},
                         SIZE{startWindow.cx - 50, startWindow.cy + 30},
                         SIZE{startWindow.cx + 30, startWindow.cy - 50}}) {
        ASSERT_TRUE(resizeWindowTo(smaller));
        SIZE now = sizeOf(windowRect(dialog));
        EXPECT_EQ(now.cx, std::max(smaller.cx, startWindow.cx));
        EXPECT_EQ(now.cy, std::max(smaller.cy, startWindow.cy));
    }
    // Back at the first size: every control where it started.
    ASSERT_TRUE(resizeWindowTo({startWindow.cx - 10, startWindow.cy - 10}));
    EXPECT_EQ(sizeOf(windowRect(dialog)).cx, startWindow.cx);
    EXPECT_EQ(sizeOf(windowRect(dialog)).cy, startWindow.cy);
    ASSERT_TRUE(pollUntil([&] { return sameRect(layoutNow().of(kTrace), start.of(kTrace)); },
                          kLayoutLimit));
    expectFollowed(start, layoutNow(), 0, 0);

    ASSERT_TRUE(clickButton(dialog, kStop));
    expectStoppedWithMinusOne("Stop after resizing");
}

TEST_F(ResizedExceptionDialog, DraggingTheSizeGripResizesDownToTheFirstSizeOnly)
{
    ASSERT_TRUE(showDialog());
    ASSERT_TRUE(bringToFront(dialog));
    Layout start = layoutNow();
    RECT startWindow = windowRect(dialog);
    RECT grip = windowRect(control(kSizeGrip));
    POINT gripMiddle{(grip.left + grip.right) / 2, (grip.top + grip.bottom) / 2};

    ASSERT_TRUE(drag(gripMiddle, {gripMiddle.x + 90, gripMiddle.y + 70}));
    ASSERT_TRUE(
        pollUntil([&] { return windowRect(dialog).right > startWindow.right; }, kLayoutLimit))
        << "dragging the size grip did not resize the dialog";
    RECT grownWindow = windowRect(dialog);
    // The top-left corner stays; the bottom-right one followed the mouse.
    EXPECT_EQ(grownWindow.left, startWindow.left);
    EXPECT_EQ(grownWindow.top, startWindow.top);
    EXPECT_EQ(grownWindow.right - startWindow.right, 90);
    EXPECT_EQ(grownWindow.bottom - startWindow.bottom, 70);
    ASSERT_TRUE(pollUntil([&] { return layoutNow().client.right == start.client.right + 90; },
                          kLayoutLimit));
    expectFollowed(start, layoutNow(), 90, 70);

    // Dragged far inwards: it stops at the first size.
    grip = windowRect(control(kSizeGrip));
    gripMiddle = {(grip.left + grip.right) / 2, (grip.top + grip.bottom) / 2};
    ASSERT_TRUE(drag(gripMiddle, {gripMiddle.x - 250, gripMiddle.y - 200}));
    ASSERT_TRUE(
        pollUntil([&] { return windowRect(dialog).right < grownWindow.right; }, kLayoutLimit));
    EXPECT_TRUE(sameRect(windowRect(dialog), startWindow)) << describe(windowRect(dialog));

    ASSERT_TRUE(clickButton(dialog, kIgnore));
    EXPECT_EQ(finish().exitCode, 0);
}

TEST(ExceptionWithoutFailureCheck, NoDialogAndTheProgramEndsAsAfterMain)
{
    JavaProduct product;
    ASSERT_TRUE(product.create());
    ASSERT_TRUE(product.writeSettings("tarvo.test.Throws"));
    // run() reports any dialog of the launcher among its boxes.
    LauncherRun run = product.run();
    EXPECT_TRUE(run.outcome.finished);
    EXPECT_EQ(run.outcome.exitCode, 0);
    EXPECT_EQ(run.boxes, std::vector<std::wstring>{});
    EXPECT_FALSE(traceHas(run.trace, "System.exit -1"));
    EXPECT_TRUE(traceHas(run.trace, "DetachCurrentThread"));
}

}  // namespace
