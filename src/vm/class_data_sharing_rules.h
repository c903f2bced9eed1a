// The rules of the class-data-sharing archive the launcher keeps per product:
// which runtimes get one, which options a vendor may have chosen instead, what
// the archive is named after and which options a start adds. No Windows
// header, so they are tested natively too.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/runtime_version.h"

// Whether a VM option belongs to the JVM's own class-data-sharing family
// (-Xshare:..., -XX:SharedArchiveFile=..., -XX:ArchiveClassesAtExit=...,
// -XX:+AutoCreateSharedArchive, -XX:SharedClassListFile=... and their kin).
// A vendor who writes one has made the choice, and the launcher adds nothing.
bool isClassDataSharingOption(std::wstring_view option);

// How a runtime of this version is given its archive.
enum class ArchiveMode {
    none,         // version unknown or before 13: no archive
    writeAtExit,  // 13 to 18: written at exit under a temporary name, mapped later
    autoCreate,   // 19 and later: the JVM writes and re-creates it by itself
};

ArchiveMode archiveModeFor(const std::optional<RuntimeVersion>& version);

// "Class Data Sharing": "auto" exactly; any other text, "off" among them,
// means no archive. Absent or empty is "auto".
bool isClassDataSharingAuto(std::wstring_view setting);

// One entry of the final class path as the file system described it: a
// missing entry has size and time 0.
struct ClassPathEntryStamp {
    std::wstring path;
    std::uint64_t size = 0;
    std::uint64_t lastWriteTime = 0;
};

// Everything that makes an archive valid for a start.
struct ArchiveKey {
    std::wstring runtimeHome;
    RuntimeVersion runtimeVersion;
    std::vector<ClassPathEntryStamp> classPath;
    std::wstring mainClass;
};

// The entries of a class path text, split at ";"; empty entries are left out.
std::vector<std::wstring> classPathEntries(std::wstring_view classPath);

// The archive's file name: "cds-", a hash of the runtime (home and version),
// "-", a hash of the whole key, ".jsa". Every part of the key changes it;
// the runtime's part tells which older archives belong to the same runtime.
std::wstring archiveFileName(const ArchiveKey& key);

// The name the JVM writes to before the archive is known to be complete.
std::wstring temporaryArchiveName(std::wstring_view archiveName);

// Whether a file of the product's folder is an older archive (or its
// temporary file) of the same runtime as archiveName, and not archiveName's
// own files: those are removed once archiveName exists.
bool isOlderArchiveOfSameRuntime(std::wstring_view fileName, std::wstring_view archiveName);

// The name of the lock one start holds while its JVM may write the archive.
std::wstring archiveLockName(std::wstring_view archiveName);

// What a start found and may do, and the options that follow from it.
struct ArchiveState {
    ArchiveMode mode = ArchiveMode::none;
    bool archiveComplete = false;  // the archive exists (after any rename)
    bool lockHeld = false;         // this start may write
};

// The options a start adds, given the archive's and its temporary file's
// full paths: 19 and later with the lock, -XX:+AutoCreateSharedArchive and
// the archive; without it, the archive alone when it exists. 13 to 18: a
// complete archive is mapped; otherwise the holder of the lock writes the
// temporary file at exit. Nothing else adds anything.
std::vector<std::wstring> archiveOptions(const ArchiveState& state, std::wstring_view archivePath,
                                         std::wstring_view temporaryPath);

// The 64-bit FNV-1a hash of the bytes, continued from hash.
inline constexpr std::uint64_t kFnvOffsetBasis = 14695981039346656037ULL;
std::uint64_t fnv1a64(const void* data, std::size_t size, std::uint64_t hash = kFnvOffsetBasis);
