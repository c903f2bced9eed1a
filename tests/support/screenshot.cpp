#include "support/screenshot.h"

#include "splash/picture_bitmap.h"
#include "support/gdi_owners.h"
#include "support/png_writer.h"
#include "support/sandbox.h"
#include "support/test_paths.h"

namespace harness {

namespace {

// A 32-bit top-down bitmap whose pixels this process can read.
struct PixelCanvas {
    GdiObject bitmap;
    const std::uint8_t* bits = nullptr;
};

PixelCanvas createCanvas(HDC compatibleWith, int width, int height)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(compatibleWith, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    return {GdiObject(bitmap), static_cast<const std::uint8_t*>(bits)};
}

// Blue, green, red and an unused byte per pixel, as the DIB holds them.
Image imageFromCanvas(const PixelCanvas& canvas, int width, int height)
{
    GdiFlush();
    Image image(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* pixel = canvas.bits + (static_cast<size_t>(y) * width + x) * 4;
            image.setPixel(x, y, {pixel[2], pixel[1], pixel[0]});
        }
    }
    return image;
}

}  // namespace

std::optional<Image> captureScreenRect(const RECT& rect)
{
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) {
        return std::nullopt;
    }
    const WindowDc screen = windowDc(nullptr);
    if (!screen) {
        return std::nullopt;
    }
    MemoryDc memory(CreateCompatibleDC(screen.get().dc));
    PixelCanvas canvas = createCanvas(screen.get().dc, width, height);
    if (!memory || !canvas.bitmap) {
        return std::nullopt;
    }
    SelectionGuard selection(memory.get(), canvas.bitmap.get());
    if (!selection.isSelected() || !BitBlt(memory.get(), 0, 0, width, height, screen.get().dc,
                                           rect.left, rect.top, SRCCOPY | CAPTUREBLT)) {
        return std::nullopt;
    }
    return imageFromCanvas(canvas, width, height);
}

std::optional<Image> captureScreen()
{
    RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return captureScreenRect(screen);
}

std::optional<Image> captureWindow(HWND window)
{
    RECT rect;
    if (!GetWindowRect(window, &rect)) {
        return std::nullopt;
    }
    return captureScreenRect(rect);
}

std::optional<Colour> screenPixel(POINT point)
{
    std::optional<Image> image = captureScreenRect({point.x, point.y, point.x + 1, point.y + 1});
    if (!image) {
        return std::nullopt;
    }
    return image->pixel(0, 0);
}

std::optional<Image> renderIcon(HICON icon, int width, int height, Colour background)
{
    const WindowDc screen = windowDc(nullptr);
    MemoryDc memory(CreateCompatibleDC(screen.get().dc));
    PixelCanvas canvas = createCanvas(screen.get().dc, width, height);
    GdiObject brush(CreateSolidBrush(RGB(background.red, background.green, background.blue)));
    if (!screen || !memory || !canvas.bitmap || !brush) {
        return std::nullopt;
    }
    SelectionGuard selection(memory.get(), canvas.bitmap.get());
    RECT all{0, 0, width, height};
    if (!selection.isSelected() ||
        !FillRect(memory.get(), &all, static_cast<HBRUSH>(brush.get())) ||
        !DrawIconEx(memory.get(), 0, 0, icon, width, height, 0, nullptr, DI_NORMAL)) {
        return std::nullopt;
    }
    return imageFromCanvas(canvas, width, height);
}

std::optional<Image> loadPicture(const std::wstring& path)
{
    // Drawn at its own size into a bitmap like the screen's, then copied
    // into one whose pixels can be read.
    PictureBitmap picture = renderPictureBitmap(path);
    int width = static_cast<int>(picture.width);
    int height = static_cast<int>(picture.height);
    if (width <= 0 || height <= 0) {
        return std::nullopt;
    }
    const WindowDc screen = windowDc(nullptr);
    if (!screen) {
        return std::nullopt;
    }
    MemoryDc source(CreateCompatibleDC(screen.get().dc));
    MemoryDc target(CreateCompatibleDC(screen.get().dc));
    PixelCanvas canvas = createCanvas(screen.get().dc, width, height);
    if (!source || !target || !canvas.bitmap) {
        return std::nullopt;
    }
    SelectionGuard sourceSelection(source.get(), picture.bitmap.get());
    SelectionGuard targetSelection(target.get(), canvas.bitmap.get());
    if (!sourceSelection.isSelected() || !targetSelection.isSelected() ||
        !BitBlt(target.get(), 0, 0, width, height, source.get(), 0, 0, SRCCOPY)) {
        return std::nullopt;
    }
    return imageFromCanvas(canvas, width, height);
}

bool savePng(const Image& image, const std::wstring& path)
{
    std::optional<std::vector<std::uint8_t>> png = encodePng(image);
    return png && writeFileBytes(path, std::string_view(reinterpret_cast<const char*>(png->data()),
                                                        png->size()));
}

std::optional<std::wstring> saveScreenshot(std::wstring_view name, HWND window)
{
    std::optional<Image> image = window != nullptr ? captureWindow(window) : captureScreen();
    std::wstring path = screenshotFolder() + L"\\" + std::wstring(name) + L".png";
    if (!image || !savePng(*image, path)) {
        return std::nullopt;
    }
    return path;
}

}  // namespace harness
