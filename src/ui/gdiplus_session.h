// GDI+ through its flat API, loaded from gdiplus.dll at run time (the launcher
// imports no GDI+), started once per process the first time a picture is
// drawn and shut down when the process exits.
#pragma once

#include <windows.h>

#include <cstdint>

#include "support/owner.h"

namespace gdiplus {

// GDI+'s status codes; only success is told apart.
using Status = int;
inline constexpr Status kOk = 0;

// Opaque GDI+ objects. A GDI+ bitmap is an image and is used as one.
struct Image;
struct Graphics;
struct ImageAttributes;

using Argb = std::uint32_t;

// The values of GDI+'s enumerations the splash picture is drawn with.
inline constexpr int kSmoothingModeHighQuality = 2;
inline constexpr int kCompositingQualityHighQuality = 2;
inline constexpr int kInterpolationModeHighQualityBicubic = 7;
inline constexpr int kTextRenderingHintAntiAliasGridFit = 3;
inline constexpr int kWrapModeTileFlipXY = 3;
inline constexpr int kUnitPixel = 2;
inline constexpr Argb kOpaqueBlack = 0xFF000000;

struct StartupInput {
    UINT32 gdiplusVersion = 1;
    void* debugEventCallback = nullptr;
    BOOL suppressBackgroundThread = FALSE;
    BOOL suppressExternalCodecs = FALSE;
};

using DrawImageAbort = BOOL(CALLBACK*)(void* data);

using StartupFunction = Status(WINAPI*)(ULONG_PTR* token, const StartupInput* input, void* output);
using ShutdownFunction = void(WINAPI*)(ULONG_PTR token);
using CreateBitmapFromFileFunction = Status(WINAPI*)(const WCHAR* fileName, Image** bitmap);
using GetImageExtentFunction = Status(WINAPI*)(Image* image, UINT* extent);
using DisposeImageFunction = Status(WINAPI*)(Image* image);
using CreateFromHdcFunction = Status(WINAPI*)(HDC dc, Graphics** graphics);
using DeleteGraphicsFunction = Status(WINAPI*)(Graphics* graphics);
using SetGraphicsModeFunction = Status(WINAPI*)(Graphics* graphics, int mode);
using CreateImageAttributesFunction = Status(WINAPI*)(ImageAttributes** attributes);
using SetWrapModeFunction = Status(WINAPI*)(ImageAttributes* attributes, int wrapMode,
                                            Argb borderColour, BOOL clamp);
using DisposeImageAttributesFunction = Status(WINAPI*)(ImageAttributes* attributes);
using DrawImageRectRectIFunction = Status(WINAPI*)(Graphics* graphics, Image* image, INT targetX,
                                                   INT targetY, INT targetWidth, INT targetHeight,
                                                   INT sourceX, INT sourceY, INT sourceWidth,
                                                   INT sourceHeight, int sourceUnit,
                                                   const ImageAttributes* attributes,
                                                   DrawImageAbort abort, void* abortData);

// The flat functions the splash picture needs.
struct Functions {
    CreateBitmapFromFileFunction createBitmapFromFile = nullptr;
    GetImageExtentFunction getImageWidth = nullptr;
    GetImageExtentFunction getImageHeight = nullptr;
    DisposeImageFunction disposeImage = nullptr;
    CreateFromHdcFunction createFromHdc = nullptr;
    DeleteGraphicsFunction deleteGraphics = nullptr;
    SetGraphicsModeFunction setSmoothingMode = nullptr;
    SetGraphicsModeFunction setCompositingQuality = nullptr;
    SetGraphicsModeFunction setInterpolationMode = nullptr;
    SetGraphicsModeFunction setTextRenderingHint = nullptr;
    CreateImageAttributesFunction createImageAttributes = nullptr;
    SetWrapModeFunction setImageAttributesWrapMode = nullptr;
    DisposeImageAttributesFunction disposeImageAttributes = nullptr;
    DrawImageRectRectIFunction drawImageRectRectI = nullptr;
};

// GDI+ started for this process: the first call loads and starts it, later
// calls give the same functions. nullptr when the library, one of its
// functions or the start is missing. A guard shuts GDI+ down and unloads it
// when the process exits.
const Functions* startedGdiplus() noexcept;

// The disposers through the started functions. Only objects GDI+ made are
// ever handed in, so it has been started.
void disposeImage(Image* image) noexcept;
void deleteGraphics(Graphics* graphics) noexcept;
void disposeImageAttributes(ImageAttributes* attributes) noexcept;

// A decoded picture; the file stays locked while it lives.
using OwnedImage = Owner<Image*, &disposeImage>;
// Drawing on a device context.
using OwnedGraphics = Owner<Graphics*, &deleteGraphics>;
using OwnedImageAttributes = Owner<ImageAttributes*, &disposeImageAttributes>;

}  // namespace gdiplus
