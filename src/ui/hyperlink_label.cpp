#include "ui/hyperlink_label.h"

#include <windowsx.h>

#include <array>
#include <cwchar>
#include <span>

#include "support/handle_owners.h"
#include "ui/com_apartment.h"
#include "ui/gdi_functions.h"
#include "ui/system_libraries.h"

namespace {

constexpr UINT kToolId = 1;
constexpr wchar_t kLinkColorsKey[] = L"Software\\Microsoft\\Internet Explorer\\Settings";

// Static types that draw an image or a frame instead of their text.
bool isImageOrFrameType(LONG_PTR style)
{
    auto type = static_cast<unsigned>(style & 0xFF);
    return (type >= SS_ICON && type <= SS_WHITEFRAME) ||
           (type >= SS_ETCHEDHORZ && type <= SS_ETCHEDFRAME);
}

// The tool record grew with the common controls of Windows 6.0 (Vista).
bool hasNewerToolRecord()
{
    OSVERSIONINFOEXW wanted{};
    wanted.dwOSVersionInfoSize = sizeof(wanted);
    wanted.dwMajorVersion = 6;
    wanted.dwMinorVersion = 0;
    wanted.wServicePackMajor = 0;
    DWORDLONG condition = 0;
    condition = VerSetConditionMask(condition, VER_MAJORVERSION, VER_GREATER_EQUAL);
    condition = VerSetConditionMask(condition, VER_MINORVERSION, VER_GREATER_EQUAL);
    condition = VerSetConditionMask(condition, VER_SERVICEPACKMAJOR, VER_GREATER_EQUAL);
    return VerifyVersionInfoW(&wanted, VER_MAJORVERSION | VER_MINORVERSION | VER_SERVICEPACKMAJOR,
                              condition) != FALSE;
}

std::wstring windowTextOf(HWND window)
{
    int length = GetWindowTextLengthW(window);
    if (length <= 0) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

// One colour value of the link colours key; nothing when absent or not a colour text.
std::optional<std::uint32_t> readColorValue(HKEY key, const wchar_t* name)
{
    std::array<std::uint8_t, 24> bytes{};
    DWORD size = static_cast<DWORD>(bytes.size());
    DWORD type = REG_NONE;
    if (RegQueryValueExW(key, name, nullptr, &type, bytes.data(), &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return std::nullopt;
    }
    std::optional<std::wstring> text = colorTextFromValueBytes(std::span(bytes.data(), size));
    return text ? parseColorText(*text) : std::nullopt;
}

}  // namespace

bool HyperlinkLabel::subclass(HWND control)
{
    gdi = gdiFunctions();
    if (control == nullptr || gdi == nullptr) {
        return false;
    }
    staticProcedure = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(control, GWLP_WNDPROC));
    // The object is in place before the first message reaches the new procedure.
    WindowBinding<HyperlinkLabel>::bind(control, this);
    SetLastError(0);
    if (SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&windowProcedure)) ==
            0 &&
        GetLastError() != 0) {
        WindowBinding<HyperlinkLabel>::unbind(control);
        return false;
    }
    return true;
}

void HyperlinkLabel::attachHyperlink()
{
    std::array<wchar_t, 8> className{};
    GetClassNameW(window, className.data(), static_cast<int>(className.size()));
    LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    if (_wcsicmp(className.data(), L"static") == 0) {
        // Without SS_NOTIFY a static control is transparent to the mouse.
        SetWindowLongPtrW(window, GWL_STYLE, style | SS_NOTIFY);
    }
    paintsText = !isImageOrFrameType(style);
    handCursor = LoadCursorW(nullptr, IDC_HAND);
    if (paintsText) {
        createFonts();
    }
    createTooltip();
    labelText = windowTextOf(window);
    computeLinkRect();
    linkTarget = labelText;
    if (tooltip != nullptr) {
        SendMessageW(tooltip, TTM_ACTIVATE, TRUE, 0);
        TOOLINFOW tool{};
        tool.cbSize = hasNewerToolRecord() ? sizeof(TOOLINFOW) : TTTOOLINFOW_V2_SIZE;
        tool.hwnd = window;
        tool.uId = kToolId;
        tool.rect = linkRect;
        tool.lpszText = linkTarget.data();
        SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    if (paintsText) {
        readLinkColors();
    }
}

bool HyperlinkLabel::openLink()
{
    const ShellBrowseFunctions* shell = shellBrowseFunctions();
    if (shell == nullptr) {
        return false;
    }
    ComApartment apartment(*shell);
    HINSTANCE result = shell->shellExecute(GetAncestor(window, GA_ROOT), L"open",
                                           linkTarget.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    if (reinterpret_cast<INT_PTR>(result) <= 32) {
        return false;
    }
    visited = true;
    InvalidateRect(window, nullptr, FALSE);
    return true;
}

void HyperlinkLabel::bindWindow(HWND control) noexcept
{
    window = control;
}

LRESULT CALLBACK HyperlinkLabel::windowProcedure(HWND window, UINT message, WPARAM wParam,
                                                 LPARAM lParam) noexcept
{
    HyperlinkLabel* label = WindowBinding<HyperlinkLabel>::boundTo(window);
    if (label == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        // The control goes back to its own procedure for its last message.
        WNDPROC original = label->staticProcedure;
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        WindowBinding<HyperlinkLabel>::unbind(window);
        return CallWindowProcW(original, window, message, wParam, lParam);
    }
    return label->handleMessage(message, wParam, lParam);
}

LRESULT HyperlinkLabel::callStaticProcedure(UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    return CallWindowProcW(staticProcedure, window, message, wParam, lParam);
}

LRESULT HyperlinkLabel::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    if (message >= WM_MOUSEFIRST && message <= WM_MOUSEHWHEEL) {
        relayToTooltip(message, wParam, lParam);
    }
    std::optional<LRESULT> handled;
    switch (message) {
        case WM_MOUSEMOVE:
        case WM_SETCURSOR:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
            handled = handleMouse(message, lParam);
            break;
        case WM_CHAR:
        case WM_GETDLGCODE:
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_ENABLE:
            handled = handleKeyboardAndFocus(message, wParam);
            break;
        case WM_ERASEBKGND:
        case WM_PAINT:
        case WM_PRINTCLIENT:
            handled = handlePainting(message, wParam);
            break;
        case WM_SETFONT:
        case WM_GETFONT:
        case WM_SIZE:
            handled = handleFontAndSize(message, wParam, lParam);
            break;
        case WM_DESTROY:
            releaseResources();
            break;
        default:
            break;
    }
    return handled ? *handled : callStaticProcedure(message, wParam, lParam);
}

void HyperlinkLabel::relayToTooltip(UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    if (tooltip == nullptr) {
        return;
    }
    DWORD position = GetMessagePos();
    MSG relayed{window,
                message,
                wParam,
                lParam,
                static_cast<DWORD>(GetMessageTime()),
                POINT{GET_X_LPARAM(position), GET_Y_LPARAM(position)}};
    SendMessageW(tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

std::optional<LRESULT> HyperlinkLabel::handleMouse(UINT message, LPARAM lParam) noexcept
{
    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (message) {
        case WM_MOUSEMOVE:
            if (isInsideLink(point)) {
                SetCursor(handCursor);
                return 0;
            }
            return std::nullopt;
        case WM_SETCURSOR:
            if (isCursorInsideLink()) {
                SetCursor(handCursor);
                return TRUE;
            }
            return std::nullopt;
        case WM_LBUTTONDOWN:
            if (isInsideLink(point)) {
                SetFocus(window);
                SetCapture(window);
            }
            return 0;
        case WM_LBUTTONUP:
            // A press that started on the link and ends beside it opens nothing.
            if (GetCapture() == window) {
                ReleaseCapture();
                if (isInsideLink(point)) {
                    openLink();
                }
            }
            return 0;
        default:
            return std::nullopt;
    }
}

std::optional<LRESULT> HyperlinkLabel::handleKeyboardAndFocus(UINT message, WPARAM wParam) noexcept
{
    switch (message) {
        case WM_CHAR:
            if (wParam == L'\r' || wParam == L' ') {
                openLink();
                return 0;
            }
            return std::nullopt;
        case WM_GETDLGCODE:
            return DLGC_WANTCHARS;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            InvalidateRect(window, nullptr, FALSE);
            return 0;
        case WM_ENABLE:
            InvalidateRect(window, nullptr, FALSE);
            UpdateWindow(window);
            return 0;
        default:
            return std::nullopt;
    }
}

std::optional<LRESULT> HyperlinkLabel::handlePainting(UINT message, WPARAM wParam) noexcept
{
    // Image and frame statics draw themselves.
    if (!paintsText) {
        return std::nullopt;
    }
    switch (message) {
        case WM_ERASEBKGND:
            return TRUE;  // painting fills the background
        case WM_PAINT: {
            PAINTSTRUCT painting;
            if (HDC dc = BeginPaint(window, &painting)) {
                paint(dc);
                EndPaint(window, &painting);
            }
            return 0;
        }
        case WM_PRINTCLIENT:
            paint(reinterpret_cast<HDC>(wParam));
            return 0;
        default:
            return std::nullopt;
    }
}

std::optional<LRESULT> HyperlinkLabel::handleFontAndSize(UINT message, WPARAM wParam,
                                                         LPARAM lParam) noexcept
{
    switch (message) {
        case WM_SETFONT:
            takeFont(reinterpret_cast<HFONT>(wParam), LOWORD(lParam) != 0);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(normalFont);
        case WM_SIZE:
            // The control still gets the message.
            computeLinkRect();
            InvalidateRect(window, nullptr, FALSE);
            return std::nullopt;
        default:
            return std::nullopt;
    }
}

void HyperlinkLabel::releaseResources() noexcept
{
    if (tooltip != nullptr) {
        DestroyWindow(tooltip);
        tooltip = nullptr;
    }
    releaseFonts();
}

void HyperlinkLabel::createFonts()
{
    if (normalFont == nullptr) {
        LOGFONTW iconTitleFont{};
        if (SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof(iconTitleFont), &iconTitleFont,
                                  0)) {
            ownNormalFont.reset(gdi->createFontIndirect(&iconTitleFont));
            normalFont = ownNormalFont.get();
        }
    }
    HGDIOBJ source = normalFont != nullptr ? normalFont : gdi->getStockObject(SYSTEM_FONT);
    LOGFONTW underlined{};
    if (source != nullptr && gdi->getObject(source, sizeof(underlined), &underlined) != 0) {
        underlined.lfUnderline = TRUE;
        linkFont.reset(gdi->createFontIndirect(&underlined));
    }
}

void HyperlinkLabel::createTooltip()
{
    if (!registerTooltipClass()) {
        return;
    }
    tooltip = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
}

void HyperlinkLabel::readLinkColors()
{
    HKEY opened = nullptr;
    // Only reading follows, so read access is all that is asked for: a user
    // who may not change the key still gets the colours.
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kLinkColorsKey, 0, KEY_READ, &opened) != ERROR_SUCCESS) {
        return;
    }
    const RegistryKey key(opened);
    if (std::optional<std::uint32_t> color = readColorValue(key.get(), L"Anchor Color")) {
        linkColor = *color;
    }
    if (std::optional<std::uint32_t> color = readColorValue(key.get(), L"Anchor Color Visited")) {
        visitedColor = *color;
    }
}

LinkAlignment HyperlinkLabel::alignment() const
{
    switch (GetWindowLongPtrW(window, GWL_STYLE) & SS_TYPEMASK) {
        case SS_CENTER:
            return LinkAlignment::centre;
        case SS_RIGHT:
            return LinkAlignment::right;
        default:
            return LinkAlignment::left;
    }
}

UINT HyperlinkLabel::drawTextFlags() const
{
    switch (alignment()) {
        case LinkAlignment::centre:
            return DT_CENTER | DT_WORDBREAK;
        case LinkAlignment::right:
            return DT_RIGHT | DT_WORDBREAK;
        case LinkAlignment::left:
            break;
    }
    return DT_LEFT | DT_WORDBREAK;
}

void HyperlinkLabel::computeLinkRect()
{
    RECT client{};
    GetClientRect(window, &client);
    RECT measured = client;
    WindowDc dc = windowDc(window);
    if (!dc) {
        linkRect = client;
        return;
    }
    {
        SelectionGuard selection(dc.get().dc, linkFont.get());
        DrawTextW(dc.get().dc, labelText.c_str(), static_cast<int>(labelText.size()), &measured,
                  drawTextFlags() | DT_CALCRECT);
    }
    OffsetRect(
        &measured,
        linkTextShift(alignment(), client.right - client.left, measured.right - measured.left), 0);
    linkRect = measured;
    if (tooltip != nullptr) {
        TOOLINFOW tool{};
        tool.cbSize = hasNewerToolRecord() ? sizeof(TOOLINFOW) : TTTOOLINFOW_V2_SIZE;
        tool.hwnd = window;
        tool.uId = kToolId;
        tool.rect = linkRect;
        SendMessageW(tooltip, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

bool HyperlinkLabel::isInsideLink(POINT clientPoint) const
{
    return PtInRect(&linkRect, clientPoint) != FALSE;
}

bool HyperlinkLabel::isCursorInsideLink() const
{
    POINT cursor{};
    return GetCursorPos(&cursor) && ScreenToClient(window, &cursor) && isInsideLink(cursor);
}

void HyperlinkLabel::paint(HDC dc)
{
    RECT client{};
    GetClientRect(window, &client);
    auto background = reinterpret_cast<HBRUSH>(SendMessageW(GetParent(window), WM_CTLCOLORSTATIC,
                                                            reinterpret_cast<WPARAM>(dc),
                                                            reinterpret_cast<LPARAM>(window)));
    if (background != nullptr) {
        FillRect(dc, &client, background);
    }
    gdi->setBkMode(dc, TRANSPARENT);
    std::uint32_t color = !IsWindowEnabled(window) ? GetSysColor(COLOR_GRAYTEXT)
                          : visited                ? visitedColor
                                                   : linkColor;
    gdi->setTextColor(dc, color);
    RECT textRect = linkRect;
    {
        SelectionGuard selection(dc, linkFont.get());
        DrawTextW(dc, labelText.c_str(), static_cast<int>(labelText.size()), &textRect,
                  drawTextFlags());
    }
    if (GetFocus() == window) {
        DrawFocusRect(dc, &linkRect);
    }
}

void HyperlinkLabel::takeFont(HFONT font, bool redraw)
{
    ownNormalFont.reset();
    normalFont = font;
    if (linkFont) {
        linkFont.reset();
        createFonts();
    }
    computeLinkRect();
    if (redraw) {
        InvalidateRect(window, nullptr, FALSE);
    }
}

void HyperlinkLabel::releaseFonts()
{
    linkFont.reset();
    ownNormalFont.reset();
    normalFont = nullptr;
}
