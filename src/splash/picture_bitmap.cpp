#include "splash/picture_bitmap.h"

#include <limits>

#include "ui/gdiplus_session.h"

namespace {

// A decoded GDI+ picture, released when it ends; the file stays locked while
// it lives.
class GdiplusImageOwner {
public:
    GdiplusImageOwner(const gdiplus::Functions& gdiplus, const std::wstring& path) noexcept
        : gdiplus_(gdiplus)
    {
        // Whatever the status says, only a picture that came back counts.
        (void)gdiplus.createBitmapFromFile(path.c_str(), &image_);
    }
    ~GdiplusImageOwner()
    {
        if (image_ != nullptr) {
            gdiplus_.disposeImage(image_);
        }
    }
    GdiplusImageOwner(const GdiplusImageOwner&) = delete;
    GdiplusImageOwner& operator=(const GdiplusImageOwner&) = delete;

    gdiplus::Image* get() const noexcept { return image_; }

private:
    const gdiplus::Functions& gdiplus_;
    gdiplus::Image* image_ = nullptr;
};

class GraphicsOwner {
public:
    GraphicsOwner(const gdiplus::Functions& gdiplus, HDC dc) noexcept : gdiplus_(gdiplus)
    {
        if (gdiplus.createFromHdc(dc, &graphics_) != gdiplus::kOk) {
            graphics_ = nullptr;
        }
    }
    ~GraphicsOwner()
    {
        if (graphics_ != nullptr) {
            gdiplus_.deleteGraphics(graphics_);
        }
    }
    GraphicsOwner(const GraphicsOwner&) = delete;
    GraphicsOwner& operator=(const GraphicsOwner&) = delete;

    gdiplus::Graphics* get() const noexcept { return graphics_; }

private:
    const gdiplus::Functions& gdiplus_;
    gdiplus::Graphics* graphics_ = nullptr;
};

class ImageAttributesOwner {
public:
    explicit ImageAttributesOwner(const gdiplus::Functions& gdiplus) noexcept : gdiplus_(gdiplus)
    {
        if (gdiplus.createImageAttributes(&attributes_) != gdiplus::kOk) {
            attributes_ = nullptr;
        }
    }
    ~ImageAttributesOwner()
    {
        if (attributes_ != nullptr) {
            gdiplus_.disposeImageAttributes(attributes_);
        }
    }
    ImageAttributesOwner(const ImageAttributesOwner&) = delete;
    ImageAttributesOwner& operator=(const ImageAttributesOwner&) = delete;

    gdiplus::ImageAttributes* get() const noexcept { return attributes_; }

private:
    const gdiplus::Functions& gdiplus_;
    gdiplus::ImageAttributes* attributes_ = nullptr;
};

// Draws the whole picture at its own size into the memory context.
void drawPicture(const gdiplus::Functions& gdiplus, gdiplus::Image* image, HDC target, int width,
                 int height)
{
    GraphicsOwner graphics(gdiplus, target);
    if (graphics.get() == nullptr) {
        return;
    }
    gdiplus.setSmoothingMode(graphics.get(), gdiplus::kSmoothingModeHighQuality);
    gdiplus.setCompositingQuality(graphics.get(), gdiplus::kCompositingQualityHighQuality);
    gdiplus.setInterpolationMode(graphics.get(), gdiplus::kInterpolationModeHighQualityBicubic);
    gdiplus.setTextRenderingHint(graphics.get(), gdiplus::kTextRenderingHintAntiAliasGridFit);
    // Mirrored tiling keeps the filter from blending the edge pixels with
    // anything outside the picture.
    ImageAttributesOwner attributes(gdiplus);
    if (attributes.get() != nullptr) {
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
    GdiplusImageOwner image(*gdiplus, picturePath);
    if (image.get() == nullptr) {
        return picture;
    }
    UINT width = 0;
    UINT height = 0;
    (void)gdiplus->getImageWidth(image.get(), &width);
    (void)gdiplus->getImageHeight(image.get(), &height);
    picture.width = width;
    picture.height = height;

    ScreenDcOwner screen;
    picture.bitmap.reset(
        gdi->createCompatibleBitmap(screen.get(), bitmapExtent(width), bitmapExtent(height)));
    MemoryDcOwner memory(screen.get());
    SelectionGuard selection(memory.get(), picture.bitmap.get());
    if (selection.isSelected()) {
        drawPicture(*gdiplus, image.get(), memory.get(), bitmapExtent(width), bitmapExtent(height));
    }
    return picture;
}
