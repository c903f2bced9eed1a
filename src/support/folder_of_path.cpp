#include "support/folder_of_path.h"

std::wstring folderOfPath(std::wstring_view path, FolderForm form)
{
    size_t lastBackslash = path.rfind(L'\\');
    if (lastBackslash == std::wstring_view::npos) {
        return {};
    }
    size_t length = form == FolderForm::withTrailingBackslash ? lastBackslash + 1 : lastBackslash;
    return std::wstring(path.substr(0, length));
}

std::wstring withTrailingBackslash(std::wstring folder)
{
    if (!folder.empty() && folder.back() != L'\\') {
        folder += L'\\';
    }
    return folder;
}
