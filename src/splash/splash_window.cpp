#include "splash/splash_window.h"

#include <utility>

#include "splash/picture_bitmap.h"
#include "splash/splash_rules.h"

namespace {

constexpr UINT kClassStyle = CS_DBLCLKS | CS_SAVEBITS | CS_DROPSHADOW;

[[nodiscard]] bool registerWindowClass(UINT style, WNDPROC procedure, DWORD& error)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = style;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    windowClass.lpszClassName = kSplashWindowClass;
    if (RegisterClassExW(&windowClass) != 0) {
        return true;
    }
    error = GetLastError();
    return false;
}

}  // namespace

std::optional<SplashWindowClass> SplashWindowClass::registerClass(bool dropShadow,
                                                                  WNDPROC procedure)
{
    UINT style = dropShadow ? kClassStyle : kClassStyle & ~static_cast<UINT>(CS_DROPSHADOW);
    DWORD error = ERROR_SUCCESS;
    bool registered = registerWindowClass(style, procedure, error);
    if (!registered && error != ERROR_CLASS_ALREADY_EXISTS && dropShadow) {
        registered =
            registerWindowClass(style & ~static_cast<UINT>(CS_DROPSHADOW), procedure, error);
    }
    if (registered) {
        return SplashWindowClass(true);
    }
    if (error == ERROR_CLASS_ALREADY_EXISTS) {
        return SplashWindowClass(false);
    }
    return std::nullopt;
}

SplashWindowClass::SplashWindowClass(SplashWindowClass&& other) noexcept
    : registeredHere_(other.registeredHere_)
{
    other.registeredHere_ = false;
}

SplashWindowClass& SplashWindowClass::operator=(SplashWindowClass&& other) noexcept
{
    if (this != &other) {
        unregister();
        registeredHere_ = std::exchange(other.registeredHere_, false);
    }
    return *this;
}

SplashWindowClass::~SplashWindowClass()
{
    unregister();
}

void SplashWindowClass::unregister() noexcept
{
    if (registeredHere_) {
        UnregisterClassW(kSplashWindowClass, GetModuleHandleW(nullptr));
        registeredHere_ = false;
    }
}

HWND SplashWindow::createSplashWindow(const std::wstring& picturePath, bool dropShadow)
{
    windowClass_ =
        SplashWindowClass::registerClass(dropShadow, &WindowBinding<SplashWindow>::procedure);
    PictureBitmap picture = renderPictureBitmap(picturePath);
    pictureBitmap_ = std::move(picture.bitmap);
    SplashPlacement placement =
        centredPlacement(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                         picture.width, picture.height);
    if (!windowClass_) {
        return nullptr;
    }
    return CreateWindowExW(WS_EX_TOOLWINDOW, kSplashWindowClass, nullptr, WS_POPUP, placement.x,
                           placement.y, placement.width, placement.height, nullptr, nullptr,
                           GetModuleHandleW(nullptr), this);
}

void SplashWindow::bindWindow(HWND window) noexcept
{
    window_ = window;
}

LRESULT SplashWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    switch (message) {
        case WM_PAINT:
            paint();
            return 0;
        case WM_ERASEBKGND:
            // The picture covers the whole window.
            return 1;
        default:
            return DefWindowProcW(window_, message, wParam, lParam);
    }
}

void SplashWindow::paint() noexcept
{
    PAINTSTRUCT paintInfo{};
    HDC target = BeginPaint(window_, &paintInfo);
    const GdiFunctions* gdi = gdiFunctions();
    if (target != nullptr && gdi != nullptr && pictureBitmap_.get() != nullptr) {
        MemoryDc memory = createMemoryDc(target);
        BITMAP size{};
        if (gdi->getObject(pictureBitmap_.get(), sizeof(size), &size) != 0) {
            SelectionGuard selection(memory.get(), pictureBitmap_.get());
            if (selection.isSelected()) {
                gdi->bitBlt(target, 0, 0, size.bmWidth, size.bmHeight, memory.get(), 0, 0, SRCCOPY);
            }
        }
    }
    EndPaint(window_, &paintInfo);
}
