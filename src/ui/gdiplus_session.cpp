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
    LoadedLibraryOwner library_;
    Functions functions_;
    ShutdownFunction shutdown_ = nullptr;
    ULONG_PTR token_ = 0;
    bool started_ = false;
};

GdiplusSession::GdiplusSession()
    : library_(LoadLibraryExW(L"gdiplus.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32))
{
    auto startup = exportedFunction<StartupFunction>(library_.get(), "GdiplusStartup");
    shutdown_ = exportedFunction<ShutdownFunction>(library_.get(), "GdiplusShutdown");
    if (startup == nullptr || shutdown_ == nullptr || !findFunctions()) {
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
    f.createBitmapFromFile =
        exportedFunction<CreateBitmapFromFileFunction>(module, "GdipCreateBitmapFromFile");
    f.getImageWidth = exportedFunction<GetImageExtentFunction>(module, "GdipGetImageWidth");
    f.getImageHeight = exportedFunction<GetImageExtentFunction>(module, "GdipGetImageHeight");
    f.disposeImage = exportedFunction<DisposeImageFunction>(module, "GdipDisposeImage");
    f.createFromHdc = exportedFunction<CreateFromHdcFunction>(module, "GdipCreateFromHDC");
    f.deleteGraphics = exportedFunction<DeleteGraphicsFunction>(module, "GdipDeleteGraphics");
    f.setSmoothingMode = exportedFunction<SetGraphicsModeFunction>(module, "GdipSetSmoothingMode");
    f.setCompositingQuality =
        exportedFunction<SetGraphicsModeFunction>(module, "GdipSetCompositingQuality");
    f.setInterpolationMode =
        exportedFunction<SetGraphicsModeFunction>(module, "GdipSetInterpolationMode");
    f.setTextRenderingHint =
        exportedFunction<SetGraphicsModeFunction>(module, "GdipSetTextRenderingHint");
    f.createImageAttributes =
        exportedFunction<CreateImageAttributesFunction>(module, "GdipCreateImageAttributes");
    f.setImageAttributesWrapMode =
        exportedFunction<SetWrapModeFunction>(module, "GdipSetImageAttributesWrapMode");
    f.disposeImageAttributes =
        exportedFunction<DisposeImageAttributesFunction>(module, "GdipDisposeImageAttributes");
    f.drawImageRectRectI =
        exportedFunction<DrawImageRectRectIFunction>(module, "GdipDrawImageRectRectI");
    return f.createBitmapFromFile && f.getImageWidth && f.getImageHeight && f.disposeImage &&
           f.createFromHdc && f.deleteGraphics && f.setSmoothingMode && f.setCompositingQuality &&
           f.setInterpolationMode && f.setTextRenderingHint && f.createImageAttributes &&
           f.setImageAttributesWrapMode && f.disposeImageAttributes && f.drawImageRectRectI;
}

}  // namespace

const Functions* startedGdiplus() noexcept
{
    // Started by the first caller; the guard's destructor runs when the
    // process exits.
    static const GdiplusSession session;
    return session.functions();
}

}  // namespace gdiplus
