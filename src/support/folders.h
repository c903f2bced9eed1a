// Creating the folders above a file and removing one folder, at any path length.
#pragma once

#include <cstdint>
#include <string_view>

// Creates the missing folders above the file named by filePath (never the file
// itself, never the root). Returns 0 when they are there, otherwise the system
// error code of the failure; a caller that opens the file next may ignore it.
std::uint32_t createParentFolders(std::wstring_view filePath);

// Removes the folder if it is empty (RemoveDirectoryW).
[[nodiscard]] bool removeFolder(std::wstring_view folderPath);
