// The launcher's own splash window: a borderless popup of exactly the
// picture's size, centred on the primary screen, that paints a bitmap
// rendered once at creation.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "ui/gdi_functions.h"
#include "ui/window_binding.h"

inline constexpr wchar_t kSplashWindowClass[] = L"SplashScreenWindow";

// The window class, registered by this guard and unregistered when it ends.
// A class that some other code already registered is used as it is and left
// registered.
class SplashWindowClass {
public:
    // CS_DBLCLKS, CS_SAVEBITS and, when wanted, CS_DROPSHADOW. A class with the
    // shadow that cannot be registered is tried once more without it.
    static std::optional<SplashWindowClass> registerClass(bool dropShadow, WNDPROC procedure);
    ~SplashWindowClass();
    SplashWindowClass(SplashWindowClass&& other) noexcept;
    SplashWindowClass& operator=(SplashWindowClass&& other) noexcept;
    SplashWindowClass(const SplashWindowClass&) = delete;
    SplashWindowClass& operator=(const SplashWindowClass&) = delete;

private:
    explicit SplashWindowClass(bool registeredHere) : registeredHere_(registeredHere) {}
    void unregister() noexcept;

    bool registeredHere_;
};

// One object, one window. The thread that creates the window owns it: only
// it runs the window's messages and destroys it. The object is destroyed after
// that thread has ended.
class SplashWindow {
public:
    SplashWindow() = default;
    SplashWindow(const SplashWindow&) = delete;
    SplashWindow& operator=(const SplashWindow&) = delete;

    // Renders the picture and creates the hidden window for it; the window
    // handle, or nullptr when there is no class or the window cannot be made.
    // A picture that does not load gives a window of size 0 x 0.
    HWND createSplashWindow(const std::wstring& picturePath, bool dropShadow);

private:
    friend class WindowBinding<SplashWindow>;
    void bindWindow(HWND window) noexcept;
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    void paint() noexcept;

    HWND window_ = nullptr;
    GdiBitmap pictureBitmap_;
    std::optional<SplashWindowClass> windowClass_;
};
