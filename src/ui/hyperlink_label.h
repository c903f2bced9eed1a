// Turns a static text control into a link: its text drawn underlined in the
// browser's link colour, the hand cursor over it, the target in a tooltip,
// keyboard focus, and the target opened with the shell on a click, Enter or
// Space.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "ui/gdi_functions.h"
#include "ui/link_colors.h"
#include "ui/window_binding.h"

class HyperlinkLabel {
public:
    HyperlinkLabel() = default;
    HyperlinkLabel(const HyperlinkLabel&) = delete;
    HyperlinkLabel& operator=(const HyperlinkLabel&) = delete;

    bool hasFont() const { return normalFont != nullptr; }
    // The font the text is drawn with, before attaching (the caller's control font).
    void setInitialFont(HFONT font) { normalFont = font; }

    // Takes over the control's window procedure; false when that fails (or
    // GDI is not available), and the control stays a plain static text.
    [[nodiscard]] bool subclass(HWND control);
    // Prepares the control as a link; called once, right after subclass.
    void attachHyperlink();

    // Opens the target with the shell; true when the shell accepted it.
    bool openLink();

private:
    friend class WindowBinding<HyperlinkLabel>;
    void bindWindow(HWND control) noexcept;
    // The control's procedure while it is a link; it hands the control back to
    // the static procedure for its last message.
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) noexcept;
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    LRESULT callStaticProcedure(UINT message, WPARAM wParam, LPARAM lParam) noexcept;

    // The handlers of handleMessage, one per group of messages: the result
    // of a message they took, nothing for one the static procedure gets.
    void relayToTooltip(UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    std::optional<LRESULT> handleMouse(UINT message, LPARAM lParam) noexcept;
    std::optional<LRESULT> handleKeyboardAndFocus(UINT message, WPARAM wParam) noexcept;
    std::optional<LRESULT> handlePainting(UINT message, WPARAM wParam) noexcept;
    std::optional<LRESULT> handleFontAndSize(UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    void releaseResources() noexcept;

    void createFonts();
    void createTooltip();
    void readLinkColors();
    void computeLinkRect();
    LinkAlignment alignment() const;
    UINT drawTextFlags() const;
    bool isInsideLink(POINT clientPoint) const;
    bool isCursorInsideLink() const;
    void paint(HDC dc);
    void takeFont(HFONT font, bool redraw);
    void releaseFonts();

    HWND window = nullptr;
    WNDPROC staticProcedure = nullptr;
    const GdiFunctions* gdi = nullptr;
    std::wstring labelText;
    std::wstring linkTarget;
    // The control's font, as WM_GETFONT gives it: the one it was given, or
    // ownNormalFont when it had none.
    HFONT normalFont = nullptr;
    GdiFont ownNormalFont;
    GdiFont linkFont;  // normalFont underlined
    HCURSOR handCursor = nullptr;
    HWND tooltip = nullptr;
    std::uint32_t linkColor = 0xFF0000;     // blue
    std::uint32_t visitedColor = 0x800080;  // purple
    bool visited = false;
    RECT linkRect{};
    bool paintsText = true;  // cleared for image and frame statics, which draw themselves
};
