#include "vm/exception_dialog.h"

#include <utility>

#include "resources/exception_dialog_ids.h"
#include "ui/centre_dialog.h"
#include "vm/jni_calls.h"

std::wstring renderStackTrace(jthrowable throwable, JNIEnv* environment)
{
    // The VM thread runs on after the dialog: the references made for the
    // trace go with it.
    LocalReference<> buffer(newObjectOf("java/io/ByteArrayOutputStream", "()V", environment),
                            environment);
    if (!buffer) {
        describePendingException(environment);
        return {};
    }
    LocalReference<> printStream(newPrintStream(buffer.get(), environment), environment);
    if (!printStream) {
        describePendingException(environment);
        return {};
    }
    jmethodID printStackTrace =
        methodOf(throwable, "printStackTrace", "(Ljava/io/PrintStream;)V", environment);
    if (printStackTrace == nullptr) {
        describePendingException(environment);
        return {};
    }
    environment->CallVoidMethod(throwable, printStackTrace, printStream.get());
    // What was written before printStackTrace failed is still shown.
    describePendingException(environment);

    jmethodID toString = methodOf(buffer.get(), "toString", "()Ljava/lang/String;", environment);
    if (toString == nullptr) {
        describePendingException(environment);
        return {};
    }
    LocalReference<jstring> text(
        static_cast<jstring>(environment->CallObjectMethod(buffer.get(), toString)), environment);
    if (describePendingException(environment) || !text) {
        return {};
    }
    std::wstring result = wideFromJavaString(text.get(), environment);
    describePendingException(environment);
    return result;
}

bool showExceptionDialog(jthrowable throwable, JNIEnv* environment)
{
    // The throwable stays reachable through its reference; the VM must not
    // have it pending while the trace is rendered.
    environment->ExceptionClear();
    std::wstring stackTrace = renderStackTrace(throwable, environment);
    if (stackTrace.empty()) {
        // Nobody has seen the exception: pending again, the VM reports it when
        // the thread leaves, as it does without "Failure Check".
        environment->Throw(throwable);
        return false;
    }
    ExceptionDialog dialog(std::move(stackTrace));
    return dialog.show(GetActiveWindow()) != IDC_EXCEPTION_IGNORE;
}

INT_PTR ExceptionDialog::show(HWND owner)
{
    return DialogBinding<ExceptionDialog>::show(*this, IDD_EXCEPTION_DIALOG, owner);
}

void ExceptionDialog::bindWindow(HWND dialog) noexcept
{
    dialog_ = dialog;
}

INT_PTR ExceptionDialog::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    switch (message) {
        case WM_INITDIALOG:
            initialize();
            return TRUE;  // the default button gets the keyboard
        case WM_GETMINMAXINFO:
            limitTracking(*reinterpret_cast<MINMAXINFO*>(lParam));
            return TRUE;
        case WM_SIZE:
            layOut(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
            return TRUE;
        case WM_COMMAND: {
            int command = LOWORD(wParam);
            // Esc and the close box arrive as the Cancel id, which "Stop" carries.
            if (command == IDC_EXCEPTION_IGNORE || command == IDC_EXCEPTION_STOP) {
                EndDialog(dialog_, command);
                return TRUE;
            }
            return FALSE;
        }
        default:
            return FALSE;
    }
}

void ExceptionDialog::initialize() noexcept
{
    HWND trace = GetDlgItem(dialog_, IDC_EXCEPTION_TRACE);
    SetWindowTextW(trace, stackTrace_.c_str());
    SendMessageW(trace, EM_SETREADONLY, TRUE, 0);
    centreDialog(dialog_);
    setUpResizing();
}

void ExceptionDialog::setUpResizing() noexcept
{
    SetWindowLongPtrW(dialog_, GWL_STYLE, GetWindowLongPtrW(dialog_, GWL_STYLE) | WS_CLIPCHILDREN);
    // A group box draws only its frame and caption, so the dialog must still
    // paint what lies inside it: a transparent child is not clipped away.
    HWND frame = GetDlgItem(dialog_, IDC_EXCEPTION_FRAME);
    SetWindowLongPtrW(frame, GWL_EXSTYLE,
                      GetWindowLongPtrW(frame, GWL_EXSTYLE) | WS_EX_TRANSPARENT);
    createSizeGrip();

    RECT client{};
    GetClientRect(dialog_, &client);
    initialClientSize_ = {client.right, client.bottom};
    RECT window{};
    GetWindowRect(dialog_, &window);
    initialWindowSize_ = {window.right - window.left, window.bottom - window.top};

    static constexpr std::pair<int, std::uint8_t> kRules[] = {
        {IDC_EXCEPTION_IGNORE, movesRight | movesDown},
        {IDC_EXCEPTION_STOP, movesRight | movesDown},
        {IDC_EXCEPTION_FRAME, growsInWidth | growsInHeight},
        {IDC_EXCEPTION_ICON, keepsPlace},
        {IDC_EXCEPTION_HEADING, growsInWidth},
        {IDC_EXCEPTION_TRACE, growsInWidth | growsInHeight},
        {IDC_EXCEPTION_EXPLANATION, growsInWidth | movesDown},
        {IDC_EXCEPTION_WARNING, growsInWidth | movesDown},
        {IDC_EXCEPTION_SIZE_GRIP, movesRight | movesDown},
    };
    records_.clear();
    for (auto [id, rules] : kRules) {
        HWND control = GetDlgItem(dialog_, id);
        if (control == nullptr) {
            continue;
        }
        RECT rect{};
        GetWindowRect(control, &rect);
        MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&rect), 2);
        records_.push_back({id, rules, {rect.left, rect.top, rect.right, rect.bottom}});
    }
    resizingSetUp_ = true;
}

void ExceptionDialog::createSizeGrip() noexcept
{
    RECT client{};
    GetClientRect(dialog_, &client);
    int width = GetSystemMetrics(SM_CXVSCROLL);
    int height = GetSystemMetrics(SM_CYHSCROLL);
    // A size box of the system's scroll bar class: user32 draws it and lets it
    // drag the dialog's bottom-right corner, with no common-controls library.
    CreateWindowExW(0, L"SCROLLBAR", nullptr,
                    WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SBS_SIZEBOX | SBS_SIZEGRIP |
                        SBS_SIZEBOXBOTTOMRIGHTALIGN,
                    client.right - width, client.bottom - height, width, height, dialog_,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_EXCEPTION_SIZE_GRIP)),
                    GetModuleHandleW(nullptr), nullptr);
}

void ExceptionDialog::limitTracking(MINMAXINFO& limits) const noexcept
{
    // Sizing starts before the dialog is set up; the system's limits hold till then.
    if (resizingSetUp_) {
        limits.ptMinTrackSize = {initialWindowSize_.cx, initialWindowSize_.cy};
    }
}

void ExceptionDialog::layOut(UINT sizeKind, int clientWidth, int clientHeight) noexcept
{
    if (!resizingSetUp_ || sizeKind == SIZE_MINIMIZED) {
        return;
    }
    int widthChange = clientWidth - initialClientSize_.cx;
    int heightChange = clientHeight - initialClientSize_.cy;
    for (const ResizeRecord& record : records_) {
        PixelBox box = laidOutBox(record.start, record.rules, widthChange, heightChange);
        SetWindowPos(GetDlgItem(dialog_, record.id), nullptr, box.left, box.top, box.width(),
                     box.height(), SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // A maximised window cannot be sized from its corner.
    ShowWindow(GetDlgItem(dialog_, IDC_EXCEPTION_SIZE_GRIP),
               sizeKind == SIZE_MAXIMIZED ? SW_HIDE : SW_SHOW);
    RedrawWindow(dialog_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}
