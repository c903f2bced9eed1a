// The splash picture decoded once with GDI+ and drawn into a bitmap the
// screen can show directly, so that painting only copies it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "ui/gdi_functions.h"

struct PictureBitmap {
    GdiBitmap bitmap;
    // The picture's size; both 0 when the file could not be decoded.
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

// Decodes the file with whatever GDI+ reads (PNG, BMP, JPEG, GIF, ...) and
// draws it at its own size with high-quality settings into a bitmap
// compatible with the screen. A missing or unreadable file, or GDI+ not
// starting, gives the sizes 0.
PictureBitmap renderPictureBitmap(const std::wstring& picturePath);
