#include "ui/gdi_functions.h"

#include "support/loaded_library.h"

namespace {

// gdi32.dll is loaded once and freed only when the process ends; user32
// keeps it loaded in any case.
struct GdiLibrary {
    GdiLibrary() : library(loadSystemLibrary(L"gdi32.dll"))
    {
        HMODULE module = library.get();
        GdiFunctions& f = functions;
        complete = lookUp(module, "CreateCompatibleDC", f.createCompatibleDc) &&
                   lookUp(module, "CreateCompatibleBitmap", f.createCompatibleBitmap) &&
                   lookUp(module, "SelectObject", f.selectObject) &&
                   lookUp(module, "DeleteObject", f.deleteObject) &&
                   lookUp(module, "DeleteDC", f.deleteDc) && lookUp(module, "BitBlt", f.bitBlt) &&
                   lookUp(module, "GetObjectW", f.getObject) &&
                   lookUp(module, "CreateFontIndirectW", f.createFontIndirect) &&
                   lookUp(module, "GetStockObject", f.getStockObject) &&
                   lookUp(module, "SetBkMode", f.setBkMode) &&
                   lookUp(module, "SetTextColor", f.setTextColor);
    }

    LoadedLibrary library;
    GdiFunctions functions;
    bool complete = false;
};

}  // namespace

const GdiFunctions* gdiFunctions() noexcept
{
    static const GdiLibrary gdi;
    return gdi.complete ? &gdi.functions : nullptr;
}

void deleteGdiObject(HGDIOBJ object) noexcept
{
    gdiFunctions()->deleteObject(object);
}

void deleteMemoryDc(HDC dc) noexcept
{
    gdiFunctions()->deleteDc(dc);
}

MemoryDc createMemoryDc(HDC compatibleWith) noexcept
{
    const GdiFunctions* gdi = gdiFunctions();
    return MemoryDc(gdi != nullptr ? gdi->createCompatibleDc(compatibleWith) : nullptr);
}

void releaseWindowDc(WindowDcHandle lent) noexcept
{
    ReleaseDC(lent.window, lent.dc);
}

WindowDc windowDc(HWND window) noexcept
{
    HDC dc = GetDC(window);
    return dc != nullptr ? WindowDc({window, dc}) : WindowDc();
}

SelectionGuard::SelectionGuard(HDC dc, HGDIOBJ object) noexcept : dc_(dc)
{
    const GdiFunctions* gdi = gdiFunctions();
    if (gdi != nullptr && dc != nullptr && object != nullptr) {
        previous_ = gdi->selectObject(dc, object);
    }
}

SelectionGuard::~SelectionGuard()
{
    if (isSelected()) {
        gdiFunctions()->selectObject(dc_, previous_);
    }
}
