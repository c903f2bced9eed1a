// Owners of the GDI resources the screenshot code makes, from the launcher's
// one owner template over the GDI functions the tests link directly; each
// releases its one object exactly once, when it ends. The screen's device
// context is the launcher's WindowDc.
#pragma once

#include <windows.h>

#include "support/owner.h"
#include "ui/gdi_functions.h"

namespace harness {

// A memory device context from CreateCompatibleDC.
using MemoryDc = Owner<HDC, &DeleteDC>;
// A bitmap, brush or other GDI object.
using GdiObject = Owner<HGDIOBJ, &DeleteObject>;

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
