// Owners of the GDI resources the screenshot code borrows: each releases its
// one object exactly once, when it ends.
#pragma once

#include <windows.h>

#include <utility>

namespace harness {

// A window's (or the screen's, for nullptr) device context from GetDC; released with ReleaseDC.
class WindowDcOwner {
public:
    explicit WindowDcOwner(HWND window) noexcept : window_(window), dc_(GetDC(window)) {}
    ~WindowDcOwner()
    {
        if (dc_ != nullptr) {
            ReleaseDC(window_, dc_);
        }
    }
    WindowDcOwner(const WindowDcOwner&) = delete;
    WindowDcOwner& operator=(const WindowDcOwner&) = delete;
    HDC get() const noexcept { return dc_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

// A memory device context from CreateCompatibleDC; deleted with DeleteDC.
class MemoryDcOwner {
public:
    explicit MemoryDcOwner(HDC compatibleWith) noexcept : dc_(CreateCompatibleDC(compatibleWith)) {}
    ~MemoryDcOwner()
    {
        if (dc_ != nullptr) {
            DeleteDC(dc_);
        }
    }
    MemoryDcOwner(const MemoryDcOwner&) = delete;
    MemoryDcOwner& operator=(const MemoryDcOwner&) = delete;
    HDC get() const noexcept { return dc_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }

private:
    HDC dc_;
};

// A bitmap, brush or other GDI object; deleted with DeleteObject. Empty is nullptr.
class GdiObjectOwner {
public:
    explicit GdiObjectOwner(HGDIOBJ object = nullptr) noexcept : object_(object) {}
    ~GdiObjectOwner()
    {
        if (object_ != nullptr) {
            DeleteObject(object_);
        }
    }
    GdiObjectOwner(const GdiObjectOwner&) = delete;
    GdiObjectOwner& operator=(const GdiObjectOwner&) = delete;
    HGDIOBJ get() const noexcept { return object_; }
    explicit operator bool() const noexcept { return object_ != nullptr; }

private:
    HGDIOBJ object_;
};

// Keeps an object selected into a device context and puts the previous one
// back when it ends: an object must not be deleted while selected.
class SelectionGuard {
public:
    SelectionGuard(HDC dc, HGDIOBJ object) noexcept : dc_(dc), previous_(SelectObject(dc, object))
    {
    }
    ~SelectionGuard()
    {
        if (previous_ != nullptr && previous_ != HGDI_ERROR) {
            SelectObject(dc_, previous_);
        }
    }
    SelectionGuard(const SelectionGuard&) = delete;
    SelectionGuard& operator=(const SelectionGuard&) = delete;
    bool isSelected() const noexcept { return previous_ != nullptr && previous_ != HGDI_ERROR; }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace harness
