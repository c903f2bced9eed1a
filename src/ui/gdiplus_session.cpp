#include "ui/gdiplus_session.h"

#include "support/loaded_library.h"

namespace gdiplus {

namespace {

// Loads the functions in its constructor and starts GDI+ once all are there;
// shuts GDI+ down before the library is unloaded.
class GdiplusSession {
public:
    GdiplusSession();
    ~GdiplusSession();
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;

    const Functions* functions() const noexcept { return started_ ? &functions_ : nullptr; }

private:
    [[nodiscard]] bool findFunctions();

    // Declared first, so that it is released last.
    LoadedLibrary library_;
    Functions functions_;
    ShutdownFunction shutdown_ = nullptr;
    ULONG_PTR token_ = 0;
    bool started_ = false;
};

GdiplusSession::GdiplusSession() : library_(loadSystemLibrary(L"gdiplus.dll"))
{
    StartupFunction startup = nullptr;
    if (!lookUp(library_.get(), "GdiplusStartup", startup) ||
        !lookUp(library_.get(), "GdiplusShutdown", shutdown_) || !findFunctions()) {
        return;
    }
    // Version 1 with its own background thread and the external codecs: no
    // output record is needed then.
    StartupInput input;
    started_ = startup(&token_, &input, nullptr) == kOk;
}

GdiplusSession::~GdiplusSession()
{
    if (started_) {
        shutdown_(token_);
    }
}

bool GdiplusSession::findFunctions()
{
    HMODULE module = library_.get();
    Functions& f = functions_;
    return lookUp(module, "GdipCreateBitmapFromFile", f.createBitmapFromFile) &&
           lookUp(module, "GdipGetImageWidth", f.getImageWidth) &&
           lookUp(module, "GdipGetImageHeight", f.getImageHeight) &&
           lookUp(module, "GdipDisposeImage", f.disposeImage) &&
           lookUp(module, "GdipCreateFromHDC", f.createFromHdc) &&
           lookUp(module, "GdipDeleteGraphics", f.deleteGraphics) &&
           lookUp(module, "GdipSetSmoothingMode", f.setSmoothingMode) &&
           lookUp(module, "GdipSetCompositingQuality", f.setCompositingQuality) &&
           lookUp(module, "GdipSetInterpolationMode", f.setInterpolationMode) &&
           lookUp(module, "GdipSetTextRenderingHint", f.setTextRenderingHint) &&
           lookUp(module, "GdipCreateImageAttributes", f.createImageAttributes) &&
           lookUp(module, "GdipSetImageAttributesWrapMode", f.setImageAttributesWrapMode) &&
           lookUp(module, "GdipDisposeImageAttributes", f.disposeImageAttributes) &&
           lookUp(module, "GdipDrawImageRectRectI", f.drawImageRectRectI);
}

}  // namespace

const Functions* startedGdiplus() noexcept
{
    // Started by the first caller; the guard's destructor runs when the
    // process exits.
    static const GdiplusSession session;
    return session.functions();
}

void disposeImage(Image* image) noexcept
{
    startedGdiplus()->disposeImage(image);
}

void deleteGraphics(Graphics* graphics) noexcept
{
    startedGdiplus()->deleteGraphics(graphics);
}

void disposeImageAttributes(ImageAttributes* attributes) noexcept
{
    startedGdiplus()->disposeImageAttributes(attributes);
}

}  // namespace gdiplus
