// The GDI functions the splash window and the download link draw with, looked
// up in gdi32.dll at run time so that the launcher imports nothing beyond
// kernel32, user32 and advapi32 (user32 has gdi32 loaded anyway), and the
// owners of what they make, which release it through the same functions.
#pragma once

#include <windows.h>

#include "support/owner.h"

struct GdiFunctions {
    decltype(&CreateCompatibleDC) createCompatibleDc = nullptr;
    decltype(&CreateCompatibleBitmap) createCompatibleBitmap = nullptr;
    decltype(&SelectObject) selectObject = nullptr;
    decltype(&DeleteObject) deleteObject = nullptr;
    decltype(&DeleteDC) deleteDc = nullptr;
    decltype(&BitBlt) bitBlt = nullptr;
    decltype(&GetObjectW) getObject = nullptr;
    decltype(&CreateFontIndirectW) createFontIndirect = nullptr;
    decltype(&GetStockObject) getStockObject = nullptr;
    decltype(&SetBkMode) setBkMode = nullptr;
    decltype(&SetTextColor) setTextColor = nullptr;
};

// The functions, found once per process; nullptr when gdi32.dll or one of
// them is missing.
const GdiFunctions* gdiFunctions() noexcept;

// DeleteObject and DeleteDC through the functions above. Only what was made
// through them is ever handed in, so they are there.
void deleteGdiObject(HGDIOBJ object) noexcept;
void deleteMemoryDc(HDC dc) noexcept;

using GdiBitmap = Owner<HBITMAP, &deleteGdiObject>;
using GdiFont = Owner<HFONT, &deleteGdiObject>;
// A memory device context from CreateCompatibleDC.
using MemoryDc = Owner<HDC, &deleteMemoryDc>;

// A memory device context compatible with the one given; empty when GDI is
// missing or the context cannot be made.
MemoryDc createMemoryDc(HDC compatibleWith) noexcept;

// A device context GetDC lent for a window (or the screen, for nullptr), with
// the window it must be given back for.
struct WindowDcHandle {
    HWND window = nullptr;
    HDC dc = nullptr;
    bool operator==(const WindowDcHandle&) const = default;
};

// ReleaseDC for the window the context was lent for.
void releaseWindowDc(WindowDcHandle lent) noexcept;

using WindowDc = Owner<WindowDcHandle, &releaseWindowDc>;

// The window's device context (the screen's for nullptr); empty when GetDC fails.
WindowDc windowDc(HWND window) noexcept;

// Keeps an object selected into a device context and selects the previous one
// back when it ends: a bitmap must not be deleted while it is selected.
class SelectionGuard {
public:
    SelectionGuard(HDC dc, HGDIOBJ object) noexcept;
    ~SelectionGuard();
    SelectionGuard(const SelectionGuard&) = delete;
    SelectionGuard& operator=(const SelectionGuard&) = delete;

    bool isSelected() const noexcept { return previous_ != nullptr && previous_ != HGDI_ERROR; }

private:
    HDC dc_;
    HGDIOBJ previous_ = nullptr;
};
