// The one way a window procedure finds the object behind its window.
//
// A window made with CreateWindowExW gets the object in lpCreateParams and
// keeps it in GWLP_USERDATA from WM_NCCREATE; a dialog from a template gets it
// through DialogBoxParamW and keeps it in DWLP_USER from WM_INITDIALOG. Both
// let go of it after WM_NCDESTROY, the window's last message.
//
// The object's class makes the binding its friend and has
//   void bindWindow(HWND window) noexcept;
//       called with the window as soon as it is bound and with nullptr once
//       the window has had its last message, and
//   LRESULT handleMessage(UINT, WPARAM, LPARAM) noexcept   (a window), or
//   INT_PTR handleMessage(UINT, WPARAM, LPARAM) noexcept   (a dialog),
//       which gets every message in between, the binding one included.
#pragma once

#include <windows.h>

// A window whose class names procedure() as its window procedure, or a
// control subclassed to a procedure of its own that uses bind() and boundTo().
template <typename Object>
class WindowBinding {
public:
    // Messages before WM_NCCREATE and after WM_NCDESTROY go to DefWindowProcW.
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam,
                                      LPARAM lParam) noexcept
    {
        if (message == WM_NCCREATE) {
            const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
            bind(window, static_cast<Object*>(creation->lpCreateParams));
        }
        Object* object = boundTo(window);
        if (object == nullptr) {
            return DefWindowProcW(window, message, wParam, lParam);
        }
        LRESULT result = object->handleMessage(message, wParam, lParam);
        if (message == WM_NCDESTROY) {
            unbind(window);
        }
        return result;
    }

    // Keeps the object with the window; an existing control is bound before
    // its procedure is replaced, so that the first message finds the object.
    static void bind(HWND window, Object* object) noexcept
    {
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
        if (object != nullptr) {
            object->bindWindow(window);
        }
    }

    static void unbind(HWND window) noexcept
    {
        Object* object = boundTo(window);
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        if (object != nullptr) {
            object->bindWindow(nullptr);
        }
    }

    // The object bound to the window; nullptr when none is.
    static Object* boundTo(HWND window) noexcept
    {
        return reinterpret_cast<Object*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    }
};

// A modal dialog from a template in the executable's resources.
template <typename Dialog>
class DialogBinding {
public:
    // Shows the dialog modally with the object bound to it: the value given
    // to EndDialog, or -1 when the dialog could not be made.
    static INT_PTR show(Dialog& object, int templateId, HWND owner) noexcept
    {
        return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), owner,
                               &procedure, reinterpret_cast<LPARAM>(&object));
    }

private:
    // Messages before WM_INITDIALOG and after WM_NCDESTROY are left to the
    // dialog manager.
    static INT_PTR CALLBACK procedure(HWND dialog, UINT message, WPARAM wParam,
                                      LPARAM lParam) noexcept
    {
        if (message == WM_INITDIALOG) {
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            reinterpret_cast<Dialog*>(lParam)->bindWindow(dialog);
        }
        auto* object = reinterpret_cast<Dialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
        if (object == nullptr) {
            return FALSE;
        }
        INT_PTR result = object->handleMessage(message, wParam, lParam);
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrW(dialog, DWLP_USER, 0);
            object->bindWindow(nullptr);
        }
        return result;
    }
};
