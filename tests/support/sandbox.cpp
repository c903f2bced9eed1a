#include "support/sandbox.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <vector>

#include "support/handle_owners.h"
#include "support/polling.h"

namespace harness {

namespace {

// A file of a program that has just ended can stay locked for a moment.
constexpr DWORD kRemoveRetryLimitMilliseconds = 5000;
constexpr DWORD kRemoveRetryPauseMilliseconds = 50;

std::wstring temporaryFolder()
{
    wchar_t buffer[MAX_PATH + 1];
    DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
    std::wstring folder(buffer, length <= MAX_PATH ? length : 0);
    while (!folder.empty() && folder.back() == L'\\') {
        folder.pop_back();
    }
    return folder;
}

bool isLockError(DWORD error)
{
    return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED ||
           error == ERROR_LOCK_VIOLATION || error == ERROR_DIR_NOT_EMPTY;
}

// Runs the removal until it succeeds, fails for a reason other than a lock,
// or the limit is reached.
template <typename Removal>
bool removeWithRetry(Removal removal)
{
    bool removed = false;
    auto removedOrFailed = [&] {
        DWORD error = removal() ? ERROR_SUCCESS : GetLastError();
        // Gone already counts as removed.
        removed = error == ERROR_SUCCESS || error == ERROR_FILE_NOT_FOUND ||
                  error == ERROR_PATH_NOT_FOUND;
        return removed || !isLockError(error);
    };
    static_cast<void>(
        pollUntil(removedOrFailed, kRemoveRetryLimitMilliseconds, kRemoveRetryPauseMilliseconds));
    return removed;
}

bool removeFile(const std::wstring& extendedPath)
{
    SetFileAttributesW(extendedPath.c_str(), FILE_ATTRIBUTE_NORMAL);
    return removeWithRetry([&] { return DeleteFileW(extendedPath.c_str()) != FALSE; });
}

// Empties the folder, then removes it. Links (junctions, symbolic links) are
// removed as entries; what they point to is left alone.
bool removeExtendedFolderTree(const std::wstring& extendedFolder)
{
    bool removedAll = true;
    WIN32_FIND_DATAW entry;
    FindHandle search(FindFirstFileW((extendedFolder + L"\\*").c_str(), &entry));
    if (search) {
        do {
            std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..") {
                continue;
            }
            std::wstring path = extendedFolder + L"\\" + name;
            bool isFolder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            bool isLink = (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
            if (isFolder && !isLink) {
                removedAll = removeExtendedFolderTree(path) && removedAll;
            } else if (isFolder) {
                removedAll = RemoveDirectoryW(path.c_str()) != FALSE && removedAll;
            } else {
                removedAll = removeFile(path) && removedAll;
            }
        } while (FindNextFileW(search.get(), &entry));
    }
    search.reset();
    SetFileAttributesW(extendedFolder.c_str(), FILE_ATTRIBUTE_NORMAL);
    return removeWithRetry([&] { return RemoveDirectoryW(extendedFolder.c_str()) != FALSE; }) &&
           removedAll;
}

}  // namespace

bool writeFileBytes(const std::wstring& path, std::string_view bytes)
{
    FileHandle file(CreateFileW(extendedLengthPath(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return false;
    }
    size_t offset = 0;
    while (offset < bytes.size()) {
        DWORD written = 0;
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - offset, 1 << 20));
        if (!WriteFile(file.get(), bytes.data() + offset, chunk, &written, nullptr) ||
            written == 0) {
            return false;
        }
        offset += written;
    }
    return true;
}

std::optional<std::string> readFileBytes(const std::wstring& path)
{
    FileHandle file(CreateFileW(extendedLengthPath(path).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return std::nullopt;
    }
    std::string content;
    char buffer[65536];
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr)) {
            return std::nullopt;
        }
        if (read == 0) {
            return content;
        }
        content.append(buffer, read);
    }
}

bool removeFolderTree(const std::wstring& folder)
{
    std::wstring extended = extendedLengthPath(folder);
    if (GetFileAttributesW(extended.c_str()) == INVALID_FILE_ATTRIBUTES) {
        return true;
    }
    return removeExtendedFolderTree(extended);
}

ProductSandbox::~ProductSandbox()
{
    (void)remove();
}

bool ProductSandbox::create(std::wstring_view productName, std::wstring_view folderSuffix)
{
    return createEmpty(folderSuffix) && installExecutable(launcherPath(), productName);
}

bool ProductSandbox::createEmpty(std::wstring_view folderSuffix)
{
    if (!remove()) {
        return false;
    }
    static std::atomic<unsigned> sequence{0};
    std::wstring base = temporaryFolder();
    if (base.empty()) {
        return false;
    }
    // Several test programs may run at once: the process id keeps their folders apart.
    std::wstring prefix = base + L"\\tarvo-test-" + std::to_wstring(GetCurrentProcessId()) + L"-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::wstring candidate = prefix + std::to_wstring(sequence++) + std::wstring(folderSuffix);
        if (CreateDirectoryW(extendedLengthPath(candidate).c_str(), nullptr)) {
            folder_ = candidate;
            return true;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) {
            return false;
        }
    }
    return false;
}

bool ProductSandbox::installExecutable(const std::wstring& source, std::wstring_view productName)
{
    if (folder_.empty()) {
        return false;
    }
    productName_ = productName;
    return CopyFileW(extendedLengthPath(source).c_str(),
                     extendedLengthPath(executablePath()).c_str(), FALSE) != FALSE;
}

bool ProductSandbox::writeIni(std::string_view bytes) const
{
    return !folder_.empty() && writeFileBytes(iniPath(), bytes);
}

bool ProductSandbox::writeFile(std::wstring_view relativePath, std::string_view bytes) const
{
    if (folder_.empty()) {
        return false;
    }
    std::wstring path = pathOf(relativePath);
    return createFolderTree(folderOf(path)) && writeFileBytes(path, bytes);
}

bool ProductSandbox::createFolder(std::wstring_view relativePath) const
{
    return !folder_.empty() && createFolderTree(pathOf(relativePath));
}

std::optional<std::string> ProductSandbox::readFile(std::wstring_view relativePath) const
{
    return readFileBytes(pathOf(relativePath));
}

bool ProductSandbox::exists(std::wstring_view relativePath) const
{
    return GetFileAttributesW(extendedLengthPath(pathOf(relativePath)).c_str()) !=
           INVALID_FILE_ATTRIBUTES;
}

std::vector<std::wstring> ProductSandbox::filesIn(std::wstring_view relativeFolder) const
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    std::wstring pattern = extendedLengthPath(pathOf(relativeFolder)) + L"\\*";
    FindHandle search(FindFirstFileW(pattern.c_str(), &found));
    if (!search) {
        return names;
    }
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            names.push_back(found.cFileName);
        }
    } while (FindNextFileW(search.get(), &found));
    return names;
}

bool ProductSandbox::remove()
{
    if (folder_.empty()) {
        return true;
    }
    if (!removeFolderTree(folder_)) {
        return false;
    }
    folder_.clear();
    return true;
}

std::wstring ProductSandbox::pathOf(std::wstring_view relativePath) const
{
    std::wstring path = folder_;
    if (!relativePath.empty()) {
        path += L'\\';
        path += relativePath;
    }
    for (wchar_t& c : path) {
        c = c == L'/' ? L'\\' : c;
    }
    return path;
}

}  // namespace harness
