#include "vm/class_data_sharing_rules.h"

#include <array>

namespace {

constexpr std::wstring_view kArchivePrefix = L"cds-";
constexpr std::wstring_view kArchiveExtension = L".jsa";
constexpr std::wstring_view kTemporaryExtension = L".part";
constexpr std::size_t kHashDigits = 16;

// The -XX flags of the family whose names do not start with "Shared".
constexpr std::array<std::wstring_view, 8> kSharingFlags{
    L"ArchiveClassesAtExit",  L"AutoCreateSharedArchive", L"DumpLoadedClassList",
    L"UseSharedSpaces",       L"RequireSharedSpaces",     L"DynamicDumpSharedSpaces",
    L"RecordDynamicDumpInfo", L"VerifySharedSpaces",
};

std::wstring flagName(std::wstring_view flag)
{
    if (!flag.empty() && (flag.front() == L'+' || flag.front() == L'-')) {
        flag.remove_prefix(1);
    }
    return std::wstring(flag.substr(0, flag.find(L'=')));
}

std::uint64_t hashText(std::wstring_view text, std::uint64_t hash)
{
    // Each unit as two bytes, whatever wchar_t's width, so a name is the same
    // on every build; the length first keeps "ab"+"c" apart from "a"+"bc".
    const std::uint64_t length = text.size();
    hash = fnv1a64(&length, sizeof length, hash);
    for (wchar_t unit : text) {
        const std::uint8_t bytes[2] = {static_cast<std::uint8_t>(unit & 0xFF),
                                       static_cast<std::uint8_t>((unit >> 8) & 0xFF)};
        hash = fnv1a64(bytes, sizeof bytes, hash);
    }
    return hash;
}

std::uint64_t hashNumber(std::uint64_t value, std::uint64_t hash)
{
    std::uint8_t bytes[8];
    for (std::size_t index = 0; index < sizeof bytes; ++index) {
        bytes[index] = static_cast<std::uint8_t>(value >> (8 * index));
    }
    return fnv1a64(bytes, sizeof bytes, hash);
}

std::uint64_t runtimeHash(const ArchiveKey& key)
{
    std::uint64_t hash = hashText(key.runtimeHome, kFnvOffsetBasis);
    for (std::int32_t part : key.runtimeVersion.parts) {
        hash = hashNumber(static_cast<std::uint32_t>(part), hash);
    }
    return hash;
}

std::wstring hexDigits(std::uint64_t value)
{
    constexpr std::wstring_view digits = L"0123456789abcdef";
    std::wstring text(kHashDigits, L'0');
    for (std::size_t index = kHashDigits; index-- > 0;) {
        text[index] = digits[value & 0xF];
        value >>= 4;
    }
    return text;
}

bool isHexDigits(std::wstring_view text)
{
    if (text.size() != kHashDigits) {
        return false;
    }
    for (wchar_t unit : text) {
        if (!((unit >= L'0' && unit <= L'9') || (unit >= L'a' && unit <= L'f'))) {
            return false;
        }
    }
    return true;
}

// The runtime's hash of an archive's name, or empty when the name is none of
// an archive or its temporary file.
std::wstring_view runtimePartOf(std::wstring_view fileName)
{
    if (fileName.size() >= kTemporaryExtension.size() &&
        fileName.substr(fileName.size() - kTemporaryExtension.size()) == kTemporaryExtension) {
        fileName.remove_suffix(kTemporaryExtension.size());
    }
    const std::size_t expected =
        kArchivePrefix.size() + kHashDigits + 1 + kHashDigits + kArchiveExtension.size();
    if (fileName.size() != expected ||
        fileName.substr(0, kArchivePrefix.size()) != kArchivePrefix ||
        fileName.substr(fileName.size() - kArchiveExtension.size()) != kArchiveExtension ||
        fileName[kArchivePrefix.size() + kHashDigits] != L'-') {
        return {};
    }
    std::wstring_view runtimePart = fileName.substr(kArchivePrefix.size(), kHashDigits);
    std::wstring_view keyPart =
        fileName.substr(kArchivePrefix.size() + kHashDigits + 1, kHashDigits);
    if (!isHexDigits(runtimePart) || !isHexDigits(keyPart)) {
        return {};
    }
    return runtimePart;
}

}  // namespace

std::uint64_t fnv1a64(const void* data, std::size_t size, std::uint64_t hash)
{
    constexpr std::uint64_t kFnvPrime = 1099511628211ULL;
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    for (std::size_t index = 0; index < size; ++index) {
        hash ^= bytes[index];
        hash *= kFnvPrime;
    }
    return hash;
}

bool isClassDataSharingOption(std::wstring_view option)
{
    if (option.substr(0, 7) == L"-Xshare") {
        return true;
    }
    if (option.substr(0, 4) != L"-XX:") {
        return false;
    }
    const std::wstring name = flagName(option.substr(4));
    if (name.substr(0, 6) == L"Shared") {
        return true;
    }
    for (std::wstring_view flag : kSharingFlags) {
        if (name == flag) {
            return true;
        }
    }
    return false;
}

ArchiveMode archiveModeFor(const std::optional<RuntimeVersion>& version)
{
    if (!version || version->partCount == 0) {
        return ArchiveMode::none;
    }
    const std::int32_t feature = version->parts[0];
    if (feature >= 19) {
        return ArchiveMode::autoCreate;
    }
    if (feature >= 13) {
        return ArchiveMode::writeAtExit;
    }
    return ArchiveMode::none;
}

bool isClassDataSharingAuto(std::wstring_view setting)
{
    return setting.empty() || setting == L"auto";
}

std::vector<std::wstring> classPathEntries(std::wstring_view classPath)
{
    std::vector<std::wstring> entries;
    while (!classPath.empty()) {
        const std::size_t end = classPath.find(L';');
        std::wstring_view entry = classPath.substr(0, end);
        if (!entry.empty()) {
            entries.emplace_back(entry);
        }
        if (end == std::wstring_view::npos) {
            break;
        }
        classPath.remove_prefix(end + 1);
    }
    return entries;
}

std::wstring archiveFileName(const ArchiveKey& key)
{
    const std::uint64_t runtime = runtimeHash(key);
    std::uint64_t whole = hashNumber(runtime, kFnvOffsetBasis);
    whole = hashNumber(key.classPath.size(), whole);
    for (const ClassPathEntryStamp& entry : key.classPath) {
        whole = hashText(entry.path, whole);
        whole = hashNumber(entry.size, whole);
        whole = hashNumber(entry.lastWriteTime, whole);
    }
    whole = hashText(key.mainClass, whole);
    return std::wstring(kArchivePrefix) + hexDigits(runtime) + L'-' + hexDigits(whole) +
           std::wstring(kArchiveExtension);
}

std::wstring temporaryArchiveName(std::wstring_view archiveName)
{
    return std::wstring(archiveName) + std::wstring(kTemporaryExtension);
}

bool isOlderArchiveOfSameRuntime(std::wstring_view fileName, std::wstring_view archiveName)
{
    const std::wstring_view runtimePart = runtimePartOf(fileName);
    if (runtimePart.empty() || runtimePart != runtimePartOf(archiveName)) {
        return false;
    }
    return fileName != archiveName && fileName != temporaryArchiveName(archiveName);
}

std::wstring archiveLockName(std::wstring_view archiveName)
{
    // Per session: the archive lives in one user's folder.
    return L"Local\\Tarvo.ClassDataSharing." + std::wstring(archiveName);
}

std::vector<std::wstring> archiveOptions(const ArchiveState& state, std::wstring_view archivePath,
                                         std::wstring_view temporaryPath)
{
    const std::wstring mapped = L"-XX:SharedArchiveFile=" + std::wstring(archivePath);
    switch (state.mode) {
        case ArchiveMode::autoCreate:
            if (state.lockHeld) {
                return {L"-XX:+AutoCreateSharedArchive", mapped};
            }
            break;
        case ArchiveMode::writeAtExit:
            if (!state.archiveComplete && state.lockHeld) {
                return {L"-XX:ArchiveClassesAtExit=" + std::wstring(temporaryPath)};
            }
            break;
        case ArchiveMode::none:
            return {};
    }
    if (state.archiveComplete) {
        return {mapped};
    }
    return {};
}
