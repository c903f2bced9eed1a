// The dialog that shows the exception the Java program's main ended with and
// lets the user ignore it or stop the application.
#pragma once

#include <jni.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ui/window_binding.h"
#include "vm/dialog_layout.h"

// Clears the pending exception, renders the throwable's stack trace and shows
// it in the dialog, owned by the calling thread's active window. True means
// stop the application: "Stop", Esc, the close box, or a dialog that could not
// be created. False means go on, also when no trace could be rendered; the
// throwable is then left pending again, so that the VM still reports it.
[[nodiscard]] bool showExceptionDialog(jthrowable throwable, JNIEnv* environment);

// What the throwable's printStackTrace writes, as UTF-16; empty when it cannot
// be produced. Leaves no exception pending: any it meets is described.
std::wstring renderStackTrace(jthrowable throwable, JNIEnv* environment);

// One showing of dialog 231 with a stack trace.
class ExceptionDialog {
public:
    explicit ExceptionDialog(std::wstring stackTrace) : stackTrace_(std::move(stackTrace)) {}
    ExceptionDialog(const ExceptionDialog&) = delete;
    ExceptionDialog& operator=(const ExceptionDialog&) = delete;

    // Shows the dialog modally and returns its result: 1 for "Ignorieren", 2 for
    // "Stop", Esc and the close box, -1 when it could not be created.
    INT_PTR show(HWND owner);

private:
    struct ResizeRecord {
        int id = 0;
        std::uint8_t rules = keepsPlace;
        PixelBox start;
    };

    friend class DialogBinding<ExceptionDialog>;
    void bindWindow(HWND dialog) noexcept;
    INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept;

    void initialize() noexcept;
    void setUpResizing() noexcept;
    void createSizeGrip() noexcept;
    void limitTracking(MINMAXINFO& limits) const noexcept;
    void layOut(UINT sizeKind, int clientWidth, int clientHeight) noexcept;

    std::wstring stackTrace_;
    HWND dialog_ = nullptr;
    bool resizingSetUp_ = false;
    SIZE initialClientSize_{};
    SIZE initialWindowSize_{};
    std::vector<ResizeRecord> records_;
};
