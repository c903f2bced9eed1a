// The dialog shown when no Java runtime was found: it names the version
// needed, links to a download page and lets the user pick an installed
// runtime's folder. OK is available only while the picked folder holds a JVM
// library of the configured type.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "ui/hyperlink_label.h"
#include "ui/window_binding.h"

// Lets the user pick a folder, owned by the window given. Nothing when the
// user cancelled; an empty text when the pick is no file-system folder.
using FolderPicker = std::function<std::optional<std::wstring>(HWND owner)>;

// The shell's folder browser over the whole namespace, file-system folders only.
std::optional<std::wstring> browseWithShell(HWND owner);

class RuntimeNotFoundDialog {
public:
    RuntimeNotFoundDialog(std::wstring messageText, int jvmType,
                          FolderPicker pickFolder = browseWithShell);
    RuntimeNotFoundDialog(const RuntimeNotFoundDialog&) = delete;
    RuntimeNotFoundDialog& operator=(const RuntimeNotFoundDialog&) = delete;

    // Shows the dialog modally: IDOK after OK, IDCANCEL after Cancel; any
    // other value (the dialog could not be made) counts as not accepted.
    INT_PTR show(HWND owner);

    // The last folder picked, ending with "\"; empty at first.
    const std::wstring& chosenFolder() const { return chosenFolder_; }
    // The JVM library found in chosenFolder; empty when none.
    const std::wstring& foundJvmLibrary() const { return foundJvmLibrary_; }

    // The handler of "Durchsuche...": pick a folder, show it, look for a JVM
    // library in it and make OK available only when one is there.
    void browseForRuntime();

private:
    friend class DialogBinding<RuntimeNotFoundDialog>;
    void bindWindow(HWND dialog) noexcept;
    INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    void initializeDialog();

    std::wstring messageText_;
    int jvmType_;
    FolderPicker pickFolder_;
    std::wstring chosenFolder_;
    std::wstring foundJvmLibrary_;
    HyperlinkLabel link_;
    HWND dialog_ = nullptr;
};
