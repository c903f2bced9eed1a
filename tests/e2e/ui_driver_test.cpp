// The UI driver on real controls of a window this test program owns, run on
// a thread of its own as another program's window would be: states read,
// buttons clicked with the mouse, keys typed, colours read from the screen.
#include "support/ui_driver.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <future>
#include <thread>

#include "support/polling.h"
#include "support/sandbox.h"
#include "support/screenshot.h"

using namespace harness;

namespace {

constexpr DWORD kLimit = 5000;
// Input sent to another thread arrives later: a check of what it did polls.
constexpr DWORD kPollStep = 20;
constexpr int kEditId = 101;
constexpr int kCheckboxId = 102;
constexpr int kDisabledId = 103;
constexpr int kPushId = 104;
constexpr Colour kBackground{200, 30, 60};
constexpr wchar_t kWindowClass[] = L"HarnessControlsWindow";

class ControlsWindow {
public:
    ControlsWindow()
    {
        std::future<HWND> window = created_.get_future();
        thread_ = std::thread([this] { run(created_); });
        if (window.wait_for(std::chrono::milliseconds(kLimit)) == std::future_status::ready) {
            window_ = window.get();
        }
    }
    ~ControlsWindow()
    {
        // The thread has its message queue once the window exists.
        if (window_ != nullptr) {
            PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
        }
        thread_.join();
    }

    HWND window() const { return window_; }
    HWND control(int id) const { return GetDlgItem(window_, id); }
    int pushes() const { return pushes_; }

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
            SetWindowLongPtrW(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<ControlsWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message == WM_COMMAND && LOWORD(wParam) == kPushId && self != nullptr) {
            ++self->pushes_;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    void run(std::promise<HWND>& created)
    {
        threadId_ = GetCurrentThreadId();
        HBRUSH background =
            CreateSolidBrush(RGB(kBackground.red, kBackground.green, kBackground.blue));
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hbrBackground = background;
        windowClass.lpszClassName = kWindowClass;
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        RegisterClassW(&windowClass);
        HWND window =
            CreateWindowExW(0, kWindowClass, L"Harness Controls", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                            120, 100, 420, 300, nullptr, nullptr, windowClass.hInstance, this);
        auto child = [&](const wchar_t* className, const wchar_t* text, DWORD style, int id,
                         int y) {
            CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, 20, y, 200, 26,
                            window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                            windowClass.hInstance, nullptr);
        };
        child(L"Edit", L"", WS_BORDER | ES_AUTOHSCROLL, kEditId, 20);
        child(L"Button", L"&Remember", BS_AUTOCHECKBOX, kCheckboxId, 60);
        child(L"Button", L"Disabled", BS_PUSHBUTTON | WS_DISABLED, kDisabledId, 100);
        child(L"Button", L"Push", BS_PUSHBUTTON, kPushId, 140);
        UpdateWindow(window);
        created.set_value(window);

        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        DestroyWindow(window);
        UnregisterClassW(kWindowClass, windowClass.hInstance);
        DeleteObject(background);
    }

    std::promise<HWND> created_;
    std::thread thread_;
    std::atomic<DWORD> threadId_{0};
    HWND window_ = nullptr;
    std::atomic<int> pushes_{0};
};

TEST(UiDriver, FindsWindowsAndReadsControlStates)
{
    ControlsWindow controls;
    ASSERT_NE(controls.window(), nullptr);
    std::vector<HWND> windows = topLevelWindowsOf(GetCurrentProcessId());
    EXPECT_NE(std::find(windows.begin(), windows.end(), controls.window()), windows.end());
    EXPECT_EQ(windowText(controls.window()), L"Harness Controls");
    EXPECT_EQ(windowStyle(controls.window()) & WS_OVERLAPPEDWINDOW, DWORD{WS_OVERLAPPEDWINDOW});
    // Not a dialog: the wait for one ends empty at its limit.
    EXPECT_FALSE(waitForDialog(GetCurrentProcessId(), 300));

    std::optional<ControlState> checkbox = controlWithText(controls.window(), L"Remember");
    ASSERT_TRUE(checkbox);
    EXPECT_EQ(checkbox->id, kCheckboxId);
    EXPECT_EQ(checkbox->text, L"&Remember");
    EXPECT_EQ(checkbox->className, L"Button");
    EXPECT_TRUE(checkbox->enabled);
    EXPECT_EQ(checkState(checkbox->handle), BST_UNCHECKED);

    std::optional<ControlState> disabled = controlWithId(controls.window(), kDisabledId);
    ASSERT_TRUE(disabled);
    EXPECT_FALSE(disabled->enabled);
    EXPECT_TRUE(disabled->visible);
    EXPECT_EQ(disabled->rect.right - disabled->rect.left, 200);
    EXPECT_EQ(buttonTexts(controls.window()),
              (std::vector<std::wstring>{L"Remember", L"Disabled", L"Push"}));
}

TEST(UiDriver, ClicksWithTheRealMouse)
{
    ControlsWindow controls;
    ASSERT_NE(controls.window(), nullptr);
    HWND checkbox = controls.control(kCheckboxId);
    ASSERT_TRUE(clickButton(controls.window(), L"Remember"));
    EXPECT_TRUE(pollUntil([&] { return checkState(checkbox) == BST_CHECKED; }, kLimit, kPollStep));
    // The pointer went there: the click came through the input queue, not a message.
    RECT rect = windowRect(checkbox);
    POINT cursor{};
    GetCursorPos(&cursor);
    EXPECT_EQ(cursor.x, (rect.left + rect.right) / 2);
    EXPECT_EQ(cursor.y, (rect.top + rect.bottom) / 2);
    ASSERT_TRUE(clickButton(controls.window(), kCheckboxId));
    EXPECT_TRUE(
        pollUntil([&] { return checkState(checkbox) == BST_UNCHECKED; }, kLimit, kPollStep));

    ASSERT_TRUE(clickButton(controls.window(), L"Push"));
    EXPECT_TRUE(pollUntil([&] { return controls.pushes() == 1; }, kLimit, kPollStep));
    // A disabled button cannot be pressed, and the driver says so.
    EXPECT_FALSE(clickButton(controls.window(), kDisabledId));
    EXPECT_FALSE(clickButton(controls.window(), L"No such button"));
    Sleep(200);
    EXPECT_EQ(controls.pushes(), 1);
}

TEST(UiDriver, TypesIntoTheFocusedControl)
{
    ControlsWindow controls;
    ASSERT_NE(controls.window(), nullptr);
    HWND edit = controls.control(kEditId);
    ASSERT_TRUE(bringToFront(controls.window()));
    RECT rect = windowRect(edit);
    ASSERT_TRUE(clickAt({(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}));
    ASSERT_TRUE(typeText(L"Grüße 1.8"));
    EXPECT_TRUE(pollUntil([&] { return windowText(edit) == L"Grüße 1.8"; }, kLimit, kPollStep))
        << "edit holds " << windowText(edit).size() << " characters";
    ASSERT_TRUE(pressKey(VK_BACK));
    EXPECT_TRUE(pollUntil([&] { return windowText(edit) == L"Grüße 1."; }, kLimit, kPollStep));
}

TEST(Screenshots, ReadTheColoursTheScreenShows)
{
    ControlsWindow controls;
    ASSERT_NE(controls.window(), nullptr);
    RECT client;
    ASSERT_TRUE(GetClientRect(controls.window(), &client));
    POINT topLeft{0, 0};
    ClientToScreen(controls.window(), &topLeft);
    // The right part of the client area holds no control: only the class's background.
    RECT free{topLeft.x + 260, topLeft.y + 10, topLeft.x + client.right - 10,
              topLeft.y + client.bottom - 10};
    std::optional<Image> picture;
    auto backgroundShown = [&] {
        picture = captureScreenRect(free);
        return picture &&
               countPixelsNear(*picture, kBackground, 8) == picture->width() * picture->height();
    };
    EXPECT_TRUE(pollUntil(backgroundShown, kLimit, kPollStep))
        << "the background colour is not what the screen shows";
    std::optional<Colour> pixel = screenPixel({free.left + 5, free.top + 5});
    ASSERT_TRUE(pixel);
    EXPECT_LE(colourDistance(*pixel, kBackground), 8);

    std::optional<Image> screen = captureScreen();
    ASSERT_TRUE(screen);
    EXPECT_EQ(screen->width(), GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(screen->height(), GetSystemMetrics(SM_CYSCREEN));
    std::optional<std::wstring> saved = saveScreenshot(L"harness-controls-screen");
    ASSERT_TRUE(saved);
    std::optional<std::string> png = readFileBytes(*saved);
    ASSERT_TRUE(png);
    ASSERT_GT(png->size(), 24u);
    // The header chunk's width and height, big-endian, right after the signature.
    auto headerNumber = [&](size_t at) {
        return (static_cast<unsigned char>((*png)[at]) << 24) |
               (static_cast<unsigned char>((*png)[at + 1]) << 16) |
               (static_cast<unsigned char>((*png)[at + 2]) << 8) |
               static_cast<unsigned char>((*png)[at + 3]);
    };
    EXPECT_EQ(png->substr(12, 4), "IHDR");
    EXPECT_EQ(headerNumber(16), screen->width());
    EXPECT_EQ(headerNumber(20), screen->height());
    // Read back with GDI+, the file holds the very pixels captured.
    std::optional<Image> loaded = loadPicture(*saved);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(countDifferentPixels(*loaded, *screen, 0), 0);
}

}  // namespace
