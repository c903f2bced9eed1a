#include "ui/gdi_functions.h"

#include "support/loaded_library.h"

namespace {

// gdi32.dll stays loaded for the life of the process; user32 keeps it loaded
// in any case.
struct GdiLibrary {
    GdiLibrary() : library(LoadLibraryExW(L"gdi32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32))
    {
        HMODULE module = library.get();
        functions.createCompatibleDc =
            exportedFunction<decltype(&CreateCompatibleDC)>(module, "CreateCompatibleDC");
        functions.createCompatibleBitmap =
            exportedFunction<decltype(&CreateCompatibleBitmap)>(module, "CreateCompatibleBitmap");
        functions.selectObject = exportedFunction<decltype(&SelectObject)>(module, "SelectObject");
        functions.deleteObject = exportedFunction<decltype(&DeleteObject)>(module, "DeleteObject");
        functions.deleteDc = exportedFunction<decltype(&DeleteDC)>(module, "DeleteDC");
        functions.bitBlt = exportedFunction<decltype(&BitBlt)>(module, "BitBlt");
        functions.getObject = exportedFunction<decltype(&GetObjectW)>(module, "GetObjectW");
        functions.createFontIndirect =
            exportedFunction<decltype(&CreateFontIndirectW)>(module, "CreateFontIndirectW");
        functions.getStockObject =
            exportedFunction<decltype(&GetStockObject)>(module, "GetStockObject");
        functions.setBkMode = exportedFunction<decltype(&SetBkMode)>(module, "SetBkMode");
        functions.setTextColor = exportedFunction<decltype(&SetTextColor)>(module, "SetTextColor");
        complete = functions.createCompatibleDc && functions.createCompatibleBitmap &&
                   functions.selectObject && functions.deleteObject && functions.deleteDc &&
                   functions.bitBlt && functions.getObject && functions.createFontIndirect &&
                   functions.getStockObject && functions.setBkMode && functions.setTextColor;
    }

    LoadedLibraryOwner library;
    GdiFunctions functions;
    bool complete = false;
};

}  // namespace

const GdiFunctions* gdiFunctions() noexcept
{
    static const GdiLibrary gdi;
    return gdi.complete ? &gdi.functions : nullptr;
}

void GdiBitmapOwner::reset(HBITMAP bitmap) noexcept
{
    if (bitmap_ != nullptr) {
        // An owner only ever holds a bitmap made through these functions.
        gdiFunctions()->deleteObject(bitmap_);
    }
    bitmap_ = bitmap;
}

MemoryDcOwner::MemoryDcOwner(HDC compatibleWith) noexcept
{
    if (const GdiFunctions* gdi = gdiFunctions()) {
        dc_ = gdi->createCompatibleDc(compatibleWith);
    }
}

MemoryDcOwner::~MemoryDcOwner()
{
    if (dc_ != nullptr) {
        gdiFunctions()->deleteDc(dc_);
    }
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
