// Entry points of system DLLs the executable must not import (its start stays
// fast with kernel32, user32 and advapi32 alone). They are loaded from the
// system folder on first use, only when the runtime-not-found dialog runs, and
// stay loaded: window classes they register (tooltips, the folder browser)
// and the COM objects of the browser must not outlive their code.
#pragma once

#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include "support/owner.h"

// The shell's folder browser and the link's "open".
struct ShellBrowseFunctions {
    decltype(&SHBrowseForFolderW) browseForFolder = nullptr;
    decltype(&SHGetPathFromIDListW) pathFromIdList = nullptr;
    decltype(&ShellExecuteW) shellExecute = nullptr;
    decltype(&CoInitializeEx) initializeCom = nullptr;
    decltype(&CoUninitialize) uninitializeCom = nullptr;
    decltype(&CoTaskMemFree) freeComMemory = nullptr;
};

// Nothing when a library or one of its functions is missing.
[[nodiscard]] const ShellBrowseFunctions* shellBrowseFunctions();

// CoTaskMemFree through the functions above; only the shell's own lists are
// handed in, so they are there.
void freeItemIdList(PIDLIST_ABSOLUTE list) noexcept;

// An item id list the folder browser handed out.
using ItemIdList = Owner<PIDLIST_ABSOLUTE, &freeItemIdList>;

// Registers the tooltip window class of the common controls; false when the
// library or the class is not available.
[[nodiscard]] bool registerTooltipClass();
