// Cutting a full path down to the folder that holds it, in the two forms the
// launcher uses.
#pragma once

#include <string>
#include <string_view>

enum class FolderForm {
    withTrailingBackslash,     // ready for a file or folder name to be appended
    withoutTrailingBackslash,  // for C:\start.exe this is the bare drive C:
};

// The path up to its last backslash, with or without that backslash. A path
// without any backslash names no folder and gives an empty text.
std::wstring folderOfPath(std::wstring_view path, FolderForm form);

// The folder ready for a name to be appended: a backslash is added unless it
// ends in one already. An empty text stays empty: it names no folder.
std::wstring withTrailingBackslash(std::wstring folder);
