#include "support/ui_driver.h"

#include <algorithm>

#include "support/polling.h"
#include "support/screenshot.h"

namespace harness {

namespace {

// The string of user32's table that holds its default message box caption.
constexpr UINT kUser32ErrorCaptionId = 2;
// How far a drawn pixel may stray from the reference and still match.
constexpr int kIconColourTolerance = 24;

struct WindowSearch {
    DWORD processId;
    bool visibleOnly;
    std::vector<HWND> windows;
};

BOOL CALLBACK collectTopLevelWindow(HWND window, LPARAM context)
{
    auto* search = reinterpret_cast<WindowSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && (!search->visibleOnly || IsWindowVisible(window))) {
        search->windows.push_back(window);
    }
    return TRUE;
}

BOOL CALLBACK collectChildWindow(HWND window, LPARAM context)
{
    reinterpret_cast<std::vector<HWND>*>(context)->push_back(window);
    return TRUE;
}

std::optional<HWND> iconControlOf(HWND box)
{
    for (const ControlState& control : controlsOf(box)) {
        if (control.visible && _wcsicmp(control.className.c_str(), L"Static") == 0 &&
            (control.style & SS_TYPEMASK) == SS_ICON) {
            return control.handle;
        }
    }
    return std::nullopt;
}

MessageBoxIcon matchSystemIcon(const Image& drawn)
{
    struct Candidate {
        LPCWSTR id;
        MessageBoxIcon icon;
    };
    const Candidate candidates[] = {{IDI_HAND, MessageBoxIcon::error},
                                    {IDI_EXCLAMATION, MessageBoxIcon::warning},
                                    {IDI_ASTERISK, MessageBoxIcon::information},
                                    {IDI_QUESTION, MessageBoxIcon::question}};
    // The icons' corners are transparent: the corner shows the background they were drawn on.
    Colour background = drawn.pixel(0, 0);
    // A match may differ in a few pixels of anti-aliasing, never in the figure.
    int allowedDifferences = drawn.width() * drawn.height() / 50;
    MessageBoxIcon best = MessageBoxIcon::unrecognised;
    for (const Candidate& candidate : candidates) {
        std::optional<Image> reference =
            renderIcon(LoadIconW(nullptr, candidate.id), drawn.width(), drawn.height(), background);
        std::optional<int> differences =
            reference ? countDifferentPixels(drawn, *reference, kIconColourTolerance)
                      : std::nullopt;
        if (differences && *differences <= allowedDifferences) {
            best = candidate.icon;
            allowedDifferences = *differences - 1;
        }
    }
    return best;
}

INPUT mouseInput(POINT point, DWORD flags)
{
    // Absolute coordinates run from 0 to 65535 across the primary screen.
    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>((point.x * 65535LL + (width - 1) / 2) / std::max(width - 1, 1));
    input.mi.dy =
        static_cast<LONG>((point.y * 65535LL + (height - 1) / 2) / std::max(height - 1, 1));
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    return input;
}

INPUT keyInput(WORD virtualKey, wchar_t character, DWORD flags)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan =
        character != 0 ? character : static_cast<WORD>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = flags;
    return input;
}

bool sendInputs(std::vector<INPUT>& inputs)
{
    return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) ==
           inputs.size();
}

}  // namespace

std::optional<LRESULT> askWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                 UINT limitMilliseconds)
{
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, limitMilliseconds,
                             &answer)) {
        return std::nullopt;
    }
    return static_cast<LRESULT>(answer);
}

std::vector<HWND> topLevelWindowsOf(DWORD processId, bool visibleOnly)
{
    WindowSearch search{processId, visibleOnly, {}};
    EnumWindows(collectTopLevelWindow, reinterpret_cast<LPARAM>(&search));
    return search.windows;
}

std::optional<HWND> waitForTopLevelWindow(DWORD processId, const std::function<bool(HWND)>& accept,
                                          DWORD limitMilliseconds)
{
    std::optional<HWND> accepted;
    auto acceptedOne = [&] {
        for (HWND window : topLevelWindowsOf(processId)) {
            if (accept(window)) {
                accepted = window;
                return true;
            }
        }
        return false;
    };
    static_cast<void>(pollUntil(acceptedOne, limitMilliseconds));
    return accepted;
}

std::optional<HWND> waitForDialog(DWORD processId, DWORD limitMilliseconds)
{
    return waitForTopLevelWindow(
        processId, [](HWND window) { return windowClassName(window) == kDialogClass; },
        limitMilliseconds);
}

bool waitForWindowToClose(HWND window, DWORD limitMilliseconds)
{
    return pollUntil([window] { return !IsWindow(window) || !IsWindowVisible(window); },
                     limitMilliseconds);
}

std::wstring windowClassName(HWND window)
{
    wchar_t name[256];
    int length = GetClassNameW(window, name, 256);
    return std::wstring(name, length > 0 ? length : 0);
}

std::wstring windowText(HWND window)
{
    std::optional<LRESULT> length = askWindow(window, WM_GETTEXTLENGTH, 0, 0);
    if (!length || *length <= 0) {
        return {};
    }
    // Room for the terminator, and for a text that grew in between.
    std::wstring text(static_cast<size_t>(*length) + 64, L'\0');
    std::optional<LRESULT> copied =
        askWindow(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied && *copied > 0 ? std::min(static_cast<size_t>(*copied), text.size()) : 0);
    return text;
}

RECT windowRect(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

DWORD windowStyle(HWND window)
{
    return static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE));
}

DWORD windowExtendedStyle(HWND window)
{
    return static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE));
}

ControlState describeControl(HWND control)
{
    ControlState state;
    state.handle = control;
    state.id = GetDlgCtrlID(control);
    state.className = windowClassName(control);
    state.text = windowText(control);
    state.style = windowStyle(control);
    state.enabled = IsWindowEnabled(control) != FALSE;
    state.visible = IsWindowVisible(control) != FALSE;
    state.rect = windowRect(control);
    return state;
}

std::vector<ControlState> controlsOf(HWND window)
{
    std::vector<HWND> children;
    EnumChildWindows(window, collectChildWindow, reinterpret_cast<LPARAM>(&children));
    std::vector<ControlState> controls;
    for (HWND child : children) {
        controls.push_back(describeControl(child));
    }
    return controls;
}

std::optional<ControlState> controlWithId(HWND window, int id)
{
    for (ControlState& control : controlsOf(window)) {
        if (control.id == id) {
            return control;
        }
    }
    return std::nullopt;
}

std::optional<ControlState> controlWithText(HWND window, std::wstring_view text)
{
    for (ControlState& control : controlsOf(window)) {
        if (withoutMnemonics(control.text) == withoutMnemonics(text)) {
            return control;
        }
    }
    return std::nullopt;
}

std::vector<std::wstring> buttonTexts(HWND window)
{
    std::vector<std::wstring> texts;
    for (const ControlState& control : controlsOf(window)) {
        if (control.visible && _wcsicmp(control.className.c_str(), L"Button") == 0) {
            texts.push_back(withoutMnemonics(control.text));
        }
    }
    return texts;
}

std::optional<int> checkState(HWND button)
{
    std::optional<LRESULT> state = askWindow(button, BM_GETCHECK, 0, 0);
    if (!state) {
        return std::nullopt;
    }
    return static_cast<int>(*state);
}

std::wstring withoutMnemonics(std::wstring_view text)
{
    std::wstring plain;
    for (size_t i = 0; i < text.size(); ++i) {
        // "&&" stands for one ampersand; a single one marks the next letter.
        if (text[i] == L'&' && i + 1 < text.size()) {
            ++i;
        }
        plain += text[i];
    }
    return plain;
}

std::optional<std::wstring> messageBoxText(HWND box)
{
    HWND text = GetDlgItem(box, kMessageBoxTextId);
    if (text == nullptr) {
        return std::nullopt;
    }
    return windowText(text);
}

const wchar_t* iconName(MessageBoxIcon icon)
{
    switch (icon) {
        case MessageBoxIcon::none:
            return L"none";
        case MessageBoxIcon::error:
            return L"error";
        case MessageBoxIcon::warning:
            return L"warning";
        case MessageBoxIcon::information:
            return L"information";
        case MessageBoxIcon::question:
            return L"question";
        case MessageBoxIcon::unrecognised:
            break;
    }
    return L"unrecognised";
}

MessageBoxIcon messageBoxIcon(HWND box, DWORD limitMilliseconds)
{
    std::optional<HWND> control = iconControlOf(box);
    if (!control) {
        return MessageBoxIcon::none;
    }
    MessageBoxIcon icon = MessageBoxIcon::unrecognised;
    auto recognised = [&] {
        std::optional<Image> drawn = captureWindow(*control);
        icon = drawn ? matchSystemIcon(*drawn) : MessageBoxIcon::unrecognised;
        return icon != MessageBoxIcon::unrecognised;
    };
    static_cast<void>(pollUntil(recognised, limitMilliseconds));
    return icon;
}

std::wstring defaultMessageBoxCaption()
{
    const wchar_t* text = nullptr;
    // With a zero buffer size LoadStringW hands out a pointer into the resource itself.
    int length = LoadStringW(GetModuleHandleW(L"user32.dll"), kUser32ErrorCaptionId,
                             reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 ? std::wstring(text, length) : std::wstring();
}

bool bringToFront(HWND window)
{
    if (!IsWindow(window)) {
        return false;
    }
    BringWindowToTop(window);
    SetForegroundWindow(window);
    return pollUntil([window] { return GetForegroundWindow() == window; },
                     kAnswerLimitMilliseconds);
}

bool clickAt(POINT point)
{
    std::vector<INPUT> inputs{mouseInput(point, 0), mouseInput(point, MOUSEEVENTF_LEFTDOWN),
                              mouseInput(point, MOUSEEVENTF_LEFTUP)};
    return sendInputs(inputs);
}

HCURSOR shownCursor()
{
    CURSORINFO info{};
    info.cbSize = sizeof(info);
    return GetCursorInfo(&info) ? info.hCursor : nullptr;
}

bool mouseAt(POINT point, DWORD buttonFlags)
{
    std::vector<INPUT> inputs{mouseInput(point, buttonFlags)};
    return sendInputs(inputs);
}

bool clickControl(HWND control)
{
    if (!IsWindow(control) || !IsWindowVisible(control) || !IsWindowEnabled(control)) {
        return false;
    }
    (void)bringToFront(GetAncestor(control, GA_ROOT));
    RECT rect = windowRect(control);
    POINT middle{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    if (WindowFromPoint(middle) == control) {
        return clickAt(middle);
    }
    // Something covers the control: press it by message instead.
    return PostMessageW(control, BM_CLICK, 0, 0) != FALSE;
}

bool clickButton(HWND window, std::wstring_view text)
{
    std::optional<ControlState> button = controlWithText(window, text);
    return button && clickControl(button->handle);
}

bool clickButton(HWND window, int id)
{
    HWND button = GetDlgItem(window, id);
    return button != nullptr && clickControl(button);
}

bool typeText(std::wstring_view text)
{
    std::vector<INPUT> inputs;
    for (wchar_t character : text) {
        inputs.push_back(keyInput(0, character, KEYEVENTF_UNICODE));
        inputs.push_back(keyInput(0, character, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP));
    }
    return inputs.empty() || sendInputs(inputs);
}

bool pressKey(WORD virtualKey, const std::vector<WORD>& modifiers)
{
    std::vector<INPUT> inputs;
    for (WORD modifier : modifiers) {
        inputs.push_back(keyInput(modifier, 0, 0));
    }
    inputs.push_back(keyInput(virtualKey, 0, 0));
    inputs.push_back(keyInput(virtualKey, 0, KEYEVENTF_KEYUP));
    for (auto modifier = modifiers.rbegin(); modifier != modifiers.rend(); ++modifier) {
        inputs.push_back(keyInput(*modifier, 0, KEYEVENTF_KEYUP));
    }
    return sendInputs(inputs);
}

}  // namespace harness
