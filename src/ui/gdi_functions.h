// The GDI functions the splash window and the download link draw with, looked
// up in gdi32.dll at run time so that the launcher imports nothing beyond kernel32, user32
// and advapi32 (user32 has gdi32 loaded anyway), and owners that release
// what they create through them.
#pragma once

#include <windows.h>

#include <utility>

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

// A bitmap deleted with DeleteObject when it ends. Empty is nullptr.
class GdiBitmapOwner {
public:
    explicit GdiBitmapOwner(HBITMAP bitmap = nullptr) noexcept : bitmap_(bitmap) {}
    ~GdiBitmapOwner() { reset(); }
    GdiBitmapOwner(GdiBitmapOwner&& other) noexcept : bitmap_(std::exchange(other.bitmap_, nullptr))
    {
    }
    GdiBitmapOwner& operator=(GdiBitmapOwner&& other) noexcept
    {
        if (this != &other) {
            reset(std::exchange(other.bitmap_, nullptr));
        }
        return *this;
    }
    GdiBitmapOwner(const GdiBitmapOwner&) = delete;
    GdiBitmapOwner& operator=(const GdiBitmapOwner&) = delete;

    void reset(HBITMAP bitmap = nullptr) noexcept;
    HBITMAP get() const noexcept { return bitmap_; }

private:
    HBITMAP bitmap_;
};

// A memory device context compatible with the one given, deleted with DeleteDC
// when it ends. Empty is nullptr.
class MemoryDcOwner {
public:
    explicit MemoryDcOwner(HDC compatibleWith) noexcept;
    ~MemoryDcOwner();
    MemoryDcOwner(const MemoryDcOwner&) = delete;
    MemoryDcOwner& operator=(const MemoryDcOwner&) = delete;

    HDC get() const noexcept { return dc_; }

private:
    HDC dc_ = nullptr;
};

// The screen's device context from GetDC, released with ReleaseDC.
class ScreenDcOwner {
public:
    ScreenDcOwner() noexcept : dc_(GetDC(nullptr)) {}
    ~ScreenDcOwner()
    {
        if (dc_ != nullptr) {
            ReleaseDC(nullptr, dc_);
        }
    }
    ScreenDcOwner(const ScreenDcOwner&) = delete;
    ScreenDcOwner& operator=(const ScreenDcOwner&) = delete;

    HDC get() const noexcept { return dc_; }

private:
    HDC dc_;
};

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
