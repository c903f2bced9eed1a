// The tree of the shell's folder browser shown by another process, driven
// with tree view messages as a person would click through it.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <optional>
#include <string>

#include "support/remote_memory.h"

namespace harness {

class FolderTree {
public:
    FolderTree(HANDLE process, HWND tree) : tree_(tree), memory_(process, 4096) {}

    // The folder's item: the drive under the computer item (its text ends
    // with "(C:)"), then one item per folder name, each expanded on the way.
    // Nothing when some part is not in the tree.
    std::optional<HTREEITEM> itemOf(const std::wstring& folder) const;
    [[nodiscard]] bool select(HTREEITEM item) const;

private:
    // The last child of the item, expanded first, whose text is accepted; nullptr when none is.
    template <typename Accept>
    HTREEITEM childWhere(HTREEITEM item, Accept accept) const;
    std::wstring text(HTREEITEM item) const;
    HTREEITEM next(HTREEITEM item, WPARAM relation) const;
    std::optional<LRESULT> ask(UINT message, WPARAM wParam, LPARAM lParam) const;

    HWND tree_;
    // The records and texts the tree fills in live in its own process.
    RemoteMemory memory_;
};

}  // namespace harness
