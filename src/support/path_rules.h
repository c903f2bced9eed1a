// The text rules behind file search and folder creation: network paths, the
// extended-length prefixes, splitting a path into its parts and the walk that
// creates the folders above a file. No Windows header, so they are tested
// natively too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// MAX_PATH: from this length on a path needs the extended-length prefix.
inline constexpr std::size_t maxPathLength = 260;
// The longest path the system accepts even with the prefix is one code unit shorter.
inline constexpr std::size_t longPathLimit = 32767;

inline constexpr std::wstring_view localLongPathPrefix = L"\\\\?\\";
inline constexpr std::wstring_view networkLongPathPrefix = L"\\\\?\\UNC\\";

// ERROR_ALREADY_EXISTS: the folder walk goes on past a folder that is there.
inline constexpr std::uint32_t alreadyExistsError = 183;

// A network path starts with two backslashes; an extended-length path counts
// only in its network form "\\?\UNC\".
bool isUncPath(std::wstring_view path);

// The path as the file functions need it: unchanged below MAX_PATH, otherwise
// with "\\?\" in front, or with its leading "\\" turned into "\\?\UNC\" for a
// network path. Nothing when the path is too long even for the prefix.
[[nodiscard]] std::optional<std::wstring> toLongPath(std::wstring_view path);

// The folder part of a full path: cut before the last backslash or forward
// slash, whichever comes later; the whole path when it has neither.
std::wstring folderPartOf(std::wstring_view fullPath);

// The root (with any extended-length prefix the path carried: "C:", "\\srv",
// "\\?\UNC\srv") followed by the parts between backslashes. A path without a
// root, such as a relative one, gives its parts alone.
std::vector<std::wstring> splitPathComponents(std::wstring_view path);

// Creates one folder; returns 0 or the system error code of the failure.
using FolderCreator = std::function<std::uint32_t(const std::wstring& folder)>;
// Removes one folder if it is empty; a failure is of no interest to the walk.
using FolderRemover = std::function<void(const std::wstring& folder)>;

// Creates the folders above the file named by filePath, from the root down;
// the root itself and the last part (the file name) are never created.
// Returns 0 when the folders are there, otherwise the error that stopped the
// walk (or, on a network path, the last error that was not followed by a
// success).
[[nodiscard]] std::uint32_t createFolderChain(std::wstring_view filePath,
                                              const FolderCreator& createFolder,
                                              const FolderRemover& removeFolder);
