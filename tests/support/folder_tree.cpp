#include "support/folder_tree.h"

#include <algorithm>
#include <vector>

#include "support/ui_driver.h"

namespace harness {

std::optional<HTREEITEM> FolderTree::itemOf(const std::wstring& folder) const
{
    const std::wstring drive = L"(" + folder.substr(0, 2) + L")";
    const HTREEITEM root = next(nullptr, TVGN_ROOT);
    static_cast<void>(ask(TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(root)));
    HTREEITEM current = nullptr;
    for (HTREEITEM top = next(root, TVGN_CHILD); top != nullptr && current == nullptr;
         top = next(top, TVGN_NEXT)) {
        current = childWhere(top, [&](const std::wstring& text) { return text.ends_with(drive); });
    }
    for (std::size_t start = 3; current != nullptr && start < folder.size();) {  // after "C:\"
        const std::size_t end = std::min(folder.find(L'\\', start), folder.size());
        const std::wstring name = folder.substr(start, end - start);
        start = end + 1;
        current = childWhere(current, [&](const std::wstring& text) {
            return _wcsicmp(text.c_str(), name.c_str()) == 0;
        });
    }
    return current != nullptr ? std::optional(current) : std::nullopt;
}

bool FolderTree::select(HTREEITEM item) const
{
    return ask(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item)).value_or(0) != 0;
}

template <typename Accept>
HTREEITEM FolderTree::childWhere(HTREEITEM item, Accept accept) const
{
    static_cast<void>(ask(TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item)));
    HTREEITEM found = nullptr;
    for (HTREEITEM child = next(item, TVGN_CHILD); child != nullptr;
         child = next(child, TVGN_NEXT)) {
        found = accept(text(child)) ? child : found;
    }
    return found;
}

std::wstring FolderTree::text(HTREEITEM item) const
{
    constexpr SIZE_T kTextOffset = 1024;
    constexpr int kTextUnits = 1024;
    TVITEMW record{};
    record.mask = TVIF_TEXT | TVIF_HANDLE;
    record.hItem = item;
    record.pszText = reinterpret_cast<wchar_t*>(memory_.address() + kTextOffset);
    record.cchTextMax = kTextUnits;
    std::vector<wchar_t> text(kTextUnits, L'\0');
    if (!memory_.write(0, &record, sizeof(record)) || !memory_.write(kTextOffset, text.data(), 2) ||
        !ask(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(memory_.address())) ||
        !memory_.read(kTextOffset, text.data(), text.size() * sizeof(wchar_t))) {
        return {};
    }
    text.back() = L'\0';
    return text.data();
}

HTREEITEM FolderTree::next(HTREEITEM item, WPARAM relation) const
{
    return reinterpret_cast<HTREEITEM>(
        ask(TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)).value_or(0));
}

std::optional<LRESULT> FolderTree::ask(UINT message, WPARAM wParam, LPARAM lParam) const
{
    constexpr UINT kAnswerLimitMilliseconds = 5000;
    return askWindow(tree_, message, wParam, lParam, kAnswerLimitMilliseconds);
}

}  // namespace harness
