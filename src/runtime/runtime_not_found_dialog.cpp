#include "runtime/runtime_not_found_dialog.h"

#include <array>

#include "resources/resource_ids.h"
#include "runtime/jvm_library_probe.h"
#include "runtime/runtime_dialog_ids.h"
#include "support/folder_of_path.h"
#include "ui/centre_dialog.h"
#include "ui/com_apartment.h"
#include "ui/error_reporter.h"
#include "ui/system_libraries.h"
#include "ui/window_binding.h"

std::optional<std::wstring> browseWithShell(HWND owner)
{
    const ShellBrowseFunctions* shell = shellBrowseFunctions();
    if (shell == nullptr) {
        return std::nullopt;
    }
    // The new-style browser is built from COM objects.
    ComApartment apartment(*shell);
    std::wstring title = ErrorReporter::loadText(IDS_BROWSE_RUNTIME_TITLE);
    std::array<wchar_t, MAX_PATH> displayName{};
    BROWSEINFOW browse{};
    browse.hwndOwner = owner;
    browse.pidlRoot = nullptr;  // the whole namespace
    browse.pszDisplayName = displayName.data();
    browse.lpszTitle = title.c_str();
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE | BIF_NONEWFOLDERBUTTON;
    ItemIdList picked(shell->browseForFolder(&browse));
    if (!picked) {
        return std::nullopt;
    }
    std::array<wchar_t, MAX_PATH> path{};
    if (!shell->pathFromIdList(picked.get(), path.data())) {
        return std::wstring();
    }
    return std::wstring(path.data());
}

RuntimeNotFoundDialog::RuntimeNotFoundDialog(std::wstring messageText, int jvmType,
                                             FolderPicker pickFolder)
    : messageText_(std::move(messageText)), jvmType_(jvmType), pickFolder_(std::move(pickFolder))
{
}

INT_PTR RuntimeNotFoundDialog::show(HWND owner)
{
    return DialogBinding<RuntimeNotFoundDialog>::show(*this, IDD_RUNTIME_NOT_FOUND, owner);
}

void RuntimeNotFoundDialog::browseForRuntime()
{
    std::optional<std::wstring> picked = pickFolder_(dialog_);
    if (!picked) {
        return;  // a cancelled browser changes nothing
    }
    SetDlgItemTextW(dialog_, IDC_RUNTIME_FOLDER, picked->c_str());
    chosenFolder_ = withTrailingBackslash(*picked);
    foundJvmLibrary_.clear();
    // An empty folder would be probed relative to the current folder: only a
    // real pick is searched.
    if (!chosenFolder_.empty()) {
        if (std::optional<JvmLibraryLocation> library = findJvmLibrary(chosenFolder_, jvmType_)) {
            foundJvmLibrary_ = library->path;
        }
    }
    EnableWindow(GetDlgItem(dialog_, IDOK), foundJvmLibrary_.empty() ? FALSE : TRUE);
}

void RuntimeNotFoundDialog::bindWindow(HWND dialog) noexcept
{
    dialog_ = dialog;
}

INT_PTR RuntimeNotFoundDialog::handleMessage(UINT message, WPARAM wParam, LPARAM) noexcept
{
    if (message == WM_INITDIALOG) {
        initializeDialog();
        // Focus was set by hand.
        return FALSE;
    }
    if (message != WM_COMMAND) {
        return FALSE;
    }
    switch (LOWORD(wParam)) {
        case IDOK:
            // Enter reaches here too; without a JVM library there is nothing to accept.
            if (!foundJvmLibrary_.empty()) {
                EndDialog(dialog_, IDOK);
            }
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog_, IDCANCEL);
            return TRUE;
        case IDC_BROWSE_RUNTIME:
            browseForRuntime();
            return TRUE;
        default:
            return FALSE;
    }
}

void RuntimeNotFoundDialog::initializeDialog()
{
    HWND linkControl = GetDlgItem(dialog_, IDC_DOWNLOAD_LINK);
    if (!link_.hasFont()) {
        link_.setInitialFont(reinterpret_cast<HFONT>(SendMessageW(linkControl, WM_GETFONT, 0, 0)));
    }
    if (link_.subclass(linkControl)) {
        link_.attachHyperlink();
    }
    SetDlgItemTextW(dialog_, IDC_RUNTIME_MESSAGE, messageText_.c_str());
    EnableWindow(GetDlgItem(dialog_, IDOK), FALSE);
    centreDialog(dialog_);
    // OK is not available yet; picking a folder is the next step.
    SetFocus(GetDlgItem(dialog_, IDC_BROWSE_RUNTIME));
}
