#include "vm/class_data_sharing.h"

#include <windows.h>

#include <cstdint>

#include "config/environment_text.h"
#include "config/settings_path_rules.h"
#include "support/diagnostic_trace.h"
#include "support/environment_variable.h"
#include "vm/class_data_sharing_rules.h"
#include "vm/vm_option_text.h"

namespace {

// The first four bytes of a dynamic archive HotSpot wrote, little-endian.
constexpr std::uint32_t kDynamicArchiveMagic = 0xf00baba8;

void trace(std::wstring_view what, std::wstring_view detail = {})
{
    traceLine({L"class data sharing: ", what, detail});
}

std::uint64_t joined(DWORD high, DWORD low)
{
    return (static_cast<std::uint64_t>(high) << 32) | low;
}

ClassPathEntryStamp stampOf(const std::wstring& path)
{
    ClassPathEntryStamp stamp;
    stamp.path = path;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
        stamp.size = joined(data.nFileSizeHigh, data.nFileSizeLow);
        stamp.lastWriteTime =
            joined(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime);
    }
    return stamp;
}

bool fileExists(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// The JVM makes its archives read-only, which would keep them from being
// removed.
bool removeFile(const std::wstring& path)
{
    static_cast<void>(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL));
    return DeleteFileW(path.c_str()) != 0;
}

// Whether the file starts as an archive the JVM wrote does. A file cut short
// or filled with something else is refused by the JVM all the same; this
// only keeps such a file from being renamed into place or used for ever.
bool startsAsArchive(const std::wstring& path)
{
    const FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return false;
    }
    unsigned char bytes[4]{};
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes, sizeof bytes, &read, nullptr) || read != sizeof bytes) {
        return false;
    }
    const std::uint32_t magic = bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) |
                                (static_cast<std::uint32_t>(bytes[3]) << 24);
    return magic == kDynamicArchiveMagic;
}

// An archive that is there but is none is removed, so that it is written anew.
bool usableArchive(const std::wstring& path)
{
    if (!fileExists(path)) {
        return false;
    }
    if (startsAsArchive(path)) {
        return true;
    }
    trace(L"not an archive, removed: ", path);
    static_cast<void>(removeFile(path));
    return false;
}

// The per-user folder, created when missing; nothing without an absolute
// LOCALAPPDATA or when the folder cannot be made.
std::optional<std::wstring> archiveFolder(const LauncherSettings& settings)
{
    const std::wstring localAppData = environmentVariable(L"LOCALAPPDATA");
    // The same folders as the per-user settings file's, under LOCALAPPDATA.
    std::optional<UserSettingsLocation> location =
        userSettingsLocationFor(localAppData, settings.productName, settings.productCode, L"");
    if (!location) {
        trace(L"off, LOCALAPPDATA is not an absolute folder: ", localAppData);
        return std::nullopt;
    }
    static_cast<void>(CreateDirectoryW(location->productFolder.c_str(), nullptr));
    static_cast<void>(CreateDirectoryW(location->codeFolder.c_str(), nullptr));
    const DWORD attributes = GetFileAttributesW(location->codeFolder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        trace(L"off, no folder ", location->codeFolder);
        return std::nullopt;
    }
    return location->codeFolder;
}

// Only one start at a time may let its JVM write; a start that does not get
// the lock at once runs without writing.
bool takeWriterLock(std::wstring_view archiveName, ClassDataSharingStart& start)
{
    const std::wstring name = archiveLockName(archiveName);
    KernelHandle lock(CreateMutexW(nullptr, FALSE, name.c_str()));
    if (!lock) {
        const DWORD error = GetLastError();
        trace(L"no lock, error ", traceNumber(error));
        return false;
    }
    // A holder that ended without giving the lock back (every writer does)
    // leaves it abandoned, which is as good as free.
    const DWORD waited = WaitForSingleObject(lock.get(), 0);
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
        trace(L"another start is writing the archive");
        return false;
    }
    start.writerLock = std::move(lock);
    return true;
}

void removeOlderArchives(const std::wstring& folder, const std::wstring& archiveName)
{
    WIN32_FIND_DATAW match{};
    FindHandle search(FindFirstFileW((folder + L"\\cds-*").c_str(), &match));
    if (!search) {
        return;
    }
    do {
        if (isOlderArchiveOfSameRuntime(match.cFileName, archiveName)) {
            const std::wstring path = folder + L"\\" + match.cFileName;
            // A file another start's JVM still has open stays until a later start.
            const bool removed = removeFile(path);
            trace(removed ? L"older archive removed: " : L"older archive kept, in use: ", path);
        }
    } while (FindNextFileW(search.get(), &match));
}

// Whether every option text survives the conversion the option list makes:
// an archive option the JVM would read with another path must not be given.
bool keepsItsForm(const std::wstring& option)
{
    const std::string converted = wideToAnsi(option);
    return !converted.empty() && ansiToWide(converted) == option;
}

}  // namespace

void addClassDataSharingOptions(const LauncherSettings& settings,
                                const std::wstring& jvmLibraryPath, const std::wstring& classPath,
                                ClassDataSharingStart& start, std::vector<std::wstring>& options)
{
    if (!isClassDataSharingAuto(settings.classDataSharing)) {
        trace(L"off, Class Data Sharing is ", settings.classDataSharing);
        return;
    }
    for (const std::wstring& option : options) {
        if (isClassDataSharingOption(option)) {
            trace(L"off, the product chose for itself: ", option);
            return;
        }
    }
    ArchiveState state;
    state.mode = archiveModeFor(start.runtimeVersion);
    if (state.mode == ArchiveMode::none) {
        trace(start.runtimeVersion ? L"off, runtime version before 13: "
                                   : L"off, the runtime's release file names no version",
              start.runtimeVersion ? formatRuntimeVersion(*start.runtimeVersion) : L"");
        return;
    }
    std::optional<std::wstring> folder = archiveFolder(settings);
    if (!folder) {
        return;
    }

    ArchiveKey key;
    key.runtimeHome = runtimeHomeFolder(jvmLibraryPath);
    key.runtimeVersion = *start.runtimeVersion;
    for (const std::wstring& entry : classPathEntries(classPath)) {
        key.classPath.push_back(stampOf(entry));
    }
    key.mainClass = settings.mainClass;
    const std::wstring name = archiveFileName(key);
    const std::wstring archivePath = *folder + L"\\" + name;
    const std::wstring temporaryPath = *folder + L"\\" + temporaryArchiveName(name);

    state.archiveComplete = usableArchive(archivePath);
    // A complete archive of 13 to 18 is only read: no lock is needed then.
    if (state.mode == ArchiveMode::autoCreate || !state.archiveComplete) {
        state.lockHeld = takeWriterLock(name, start);
    }
    if (!state.archiveComplete && state.lockHeld && state.mode == ArchiveMode::writeAtExit &&
        fileExists(temporaryPath)) {
        // Holding the lock means the start that wrote it has ended.
        if (startsAsArchive(temporaryPath) &&
            MoveFileExW(temporaryPath.c_str(), archivePath.c_str(), MOVEFILE_REPLACE_EXISTING)) {
            trace(L"written archive moved into place: ", archivePath);
            state.archiveComplete = true;
        } else {
            trace(L"incomplete archive removed: ", temporaryPath);
            static_cast<void>(removeFile(temporaryPath));
        }
    }
    if (state.archiveComplete) {
        removeOlderArchives(*folder, name);
    }

    const std::vector<std::wstring> added = archiveOptions(state, archivePath, temporaryPath);
    for (const std::wstring& option : added) {
        if (!keepsItsForm(option)) {
            trace(L"off, the archive's path has no ANSI form: ", archivePath);
            return;
        }
    }
    trace(state.archiveComplete ? L"archive " : L"no archive yet ", archivePath);
    trace(state.lockHeld ? L"this start may write it" : L"this start does not write");
    options.insert(options.end(), added.begin(), added.end());
}
