// Drives the windows of a program under test as a person would: finds its
// top-level windows and dialogs, reads captions, texts, icons and control
// states, and clicks buttons and types keys through the system's input queue.
// Every wait polls up to a limit the caller gives.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace harness {

// The window class of dialogs and message boxes.
inline constexpr wchar_t kDialogClass[] = L"#32770";
// The id of a message box's text control.
inline constexpr int kMessageBoxTextId = 0xFFFF;
// How long a window may take to answer one message before it counts as hung.
inline constexpr UINT kAnswerLimitMilliseconds = 2000;

// The window's answer to the message (also a window of another process);
// nothing when it does not answer within the limit.
std::optional<LRESULT> askWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                 UINT limitMilliseconds = kAnswerLimitMilliseconds);

// The top-level windows of the process, front to back.
std::vector<HWND> topLevelWindowsOf(DWORD processId, bool visibleOnly = true);

// Polls until a visible top-level window of the process is accepted; nothing at the limit.
std::optional<HWND> waitForTopLevelWindow(DWORD processId, const std::function<bool(HWND)>& accept,
                                          DWORD limitMilliseconds);
// A visible dialog or message box of the process.
std::optional<HWND> waitForDialog(DWORD processId, DWORD limitMilliseconds);
// True once the window is gone or hidden; false at the limit.
[[nodiscard]] bool waitForWindowToClose(HWND window, DWORD limitMilliseconds);

std::wstring windowClassName(HWND window);
// The window's text as the window itself answers WM_GETTEXT (a control's
// text too, also in another process); empty when it does not answer in time.
std::wstring windowText(HWND window);
RECT windowRect(HWND window);
DWORD windowStyle(HWND window);
DWORD windowExtendedStyle(HWND window);

struct ControlState {
    HWND handle = nullptr;
    int id = 0;
    std::wstring className;
    std::wstring text;
    DWORD style = 0;
    bool enabled = false;
    bool visible = false;
    RECT rect{};  // screen coordinates
};

ControlState describeControl(HWND control);
// Every control inside the window, in the order the system keeps them (tab order for dialogs).
std::vector<ControlState> controlsOf(HWND window);
std::optional<ControlState> controlWithId(HWND window, int id);
// A control whose text, without its '&' mnemonic marks, is the text given.
std::optional<ControlState> controlWithText(HWND window, std::wstring_view text);
// The texts of the visible buttons, mnemonic marks removed.
std::vector<std::wstring> buttonTexts(HWND window);
// BST_CHECKED, BST_UNCHECKED or BST_INDETERMINATE; nothing when the button does not answer.
std::optional<int> checkState(HWND button);
std::wstring withoutMnemonics(std::wstring_view text);

// The text of a message box, exactly as its text control holds it.
std::optional<std::wstring> messageBoxText(HWND box);

enum class MessageBoxIcon { none, error, warning, information, question, unrecognised };
const wchar_t* iconName(MessageBoxIcon icon);
// The icon the box shows, told by its pixels on the screen: the icon control
// is compared with each system icon drawn the same way. (Icon handles cannot
// be compared: each process loads its own copy of the system icons.) Polls up
// to the limit for the box to be painted.
MessageBoxIcon messageBoxIcon(HWND box, DWORD limitMilliseconds);

// The caption a message box gets when its owner gives none: the system's
// word for "Error" in the user's language.
std::wstring defaultMessageBoxCaption();

// Brings the window to the front and gives it the keyboard.
[[nodiscard]] bool bringToFront(HWND window);
// A real left click at the point (screen coordinates), through SendInput.
[[nodiscard]] bool clickAt(POINT point);
// The cursor the screen shows now; nullptr when it cannot be told.
HCURSOR shownCursor();
// The mouse moved to the point, with the button flags given (MOUSEEVENTF_LEFTDOWN...) there.
[[nodiscard]] bool mouseAt(POINT point, DWORD buttonFlags);
// Clicks the middle of the control with the mouse when it is the window a
// person would hit there; otherwise (covered, off screen) falls back to
// BM_CLICK. False for a missing, hidden or disabled control.
[[nodiscard]] bool clickControl(HWND control);
[[nodiscard]] bool clickButton(HWND window, std::wstring_view text);
[[nodiscard]] bool clickButton(HWND window, int id);

// Types the text into whatever has the keyboard, character by character.
[[nodiscard]] bool typeText(std::wstring_view text);
// Presses and releases one key, with the modifier keys held (VK_MENU, VK_CONTROL, VK_SHIFT).
[[nodiscard]] bool pressKey(WORD virtualKey, const std::vector<WORD>& modifiers = {});

}  // namespace harness
