#include "splash/picture_bitmap.h"

#include <limits>

#include "ui/gdiplus_session.h"

namespace {

// A decoded picture; only a picture that came back counts, whatever the
// status says.
gdiplus::OwnedImage loadImage(const gdiplus::Functions& gdiplus, const std::wstring& path)
{
    gdiplus::Image* image = nullptr;
    (void)gdiplus.createBitmapFromFile(path.c_str(), &image);
    return gdiplus::OwnedImage(image);
}

gdiplus::OwnedGraphics graphicsOn(const gdiplus::Functions& gdiplus, HDC dc)
{
    gdiplus::Graphics* graphics = nullptr;
    if (gdiplus.createFromHdc(dc, &graphics) != gdiplus::kOk) {
        graphics = nullptr;
    }
    return gdiplus::OwnedGraphics(graphics);
}

gdiplus::OwnedImageAttributes newImageAttributes(const gdiplus::Functions& gdiplus)
{
    gdiplus::ImageAttributes* attributes = nullptr;
    if (gdiplus.createImageAttributes(&attributes) != gdiplus::kOk) {
        attributes = nullptr;
    }
    return gdiplus::OwnedImageAttributes(attributes);
}

// Draws the whole picture at its own size into the memory context.
void drawPicture(const gdiplus::Functions& gdiplus, gdiplus::Image* image, HDC target, int width,
                 int height)
{
    gdiplus::OwnedGraphics graphics = graphicsOn(gdiplus, target);
    if (!graphics) {
        return;
    }
    gdiplus.setSmoothingMode(graphics.get(), gdiplus::kSmoothingModeHighQuality);
    gdiplus.setCompositingQuality(graphics.get(), gdiplus::kCompositingQualityHighQuality);
    gdiplus.setInterpolationMode(graphics.get(), gdiplus::kInterpolationModeHighQualityBicubic);
    gdiplus.setTextRenderingHint(graphics.get(), gdiplus::kTextRenderingHintAntiAliasGridFit);
    // Mirrored tiling keeps the filter from blending the edge pixels with
    // anything outside the picture.
    gdiplus::OwnedImageAttributes attributes = newImageAttributes(gdiplus);
    if (attributes) {
        gdiplus.setImageAttributesWrapMode(attributes.get(), gdiplus::kWrapModeTileFlipXY,
                                           gdiplus::kOpaqueBlack, FALSE);
    }
    gdiplus.drawImageRectRectI(graphics.get(), image, 0, 0, width, height, 0, 0, width, height,
                               gdiplus::kUnitPixel, attributes.get(), nullptr, nullptr);
}

// GDI+ reports sizes as unsigned; a bitmap takes int.
int bitmapExtent(std::uint32_t extent)
{
    constexpr std::uint32_t largest = std::numeric_limits<int>::max();
    return static_cast<int>(extent < largest ? extent : largest);
}

}  // namespace

PictureBitmap renderPictureBitmap(const std::wstring& picturePath)
{
    PictureBitmap picture;
    const gdiplus::Functions* gdiplus = gdiplus::startedGdiplus();
    const GdiFunctions* gdi = gdiFunctions();
    if (gdiplus == nullptr || gdi == nullptr) {
        return picture;
    }
    gdiplus::OwnedImage image = loadImage(*gdiplus, picturePath);
    if (!image) {
        return picture;
    }
    UINT width = 0;
    UINT height = 0;
    (void)gdiplus->getImageWidth(image.get(), &width);
    (void)gdiplus->getImageHeight(image.get(), &height);
    picture.width = width;
    picture.height = height;

    WindowDc screen = windowDc(nullptr);
    picture.bitmap.reset(
        gdi->createCompatibleBitmap(screen.get().dc, bitmapExtent(width), bitmapExtent(height)));
    MemoryDc memory = createMemoryDc(screen.get().dc);
    SelectionGuard selection(memory.get(), picture.bitmap.get());
    if (selection.isSelected()) {
        drawPicture(*gdiplus, image.get(), memory.get(), bitmapExtent(width), bitmapExtent(height));
    }
    return picture;
}
