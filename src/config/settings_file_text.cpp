#include "config/settings_file_text.h"

#include <algorithm>
#include <string_view>

#include "support/decimal_text.h"
#include "support/handle_owners.h"
#include "support/long_path.h"

namespace {

// A settings file is a few kilobytes; one of more than 64 MB is not one, and
// is not read into memory to be rewritten.
constexpr long long largestFileSize = 64ll << 20;

constexpr std::string_view utf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view utf16LittleEndianMark = "\xFF\xFE";
constexpr std::string_view utf16BigEndianMark = "\xFE\xFF";

std::wstring textFromCodePage(UINT codePage, std::string_view bytes)
{
    if (bytes.empty()) {
        return {};
    }
    int length =
        MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(),
                        length);
    return text;
}

// The text in the code page; nothing when a character has no form there
// (the profile functions would write "?" for it).
std::optional<std::string> bytesInCodePage(UINT codePage, const std::wstring& text)
{
    if (text.empty()) {
        return std::string();
    }
    const bool isAnsi = codePage != CP_UTF8;
    BOOL usedDefault = FALSE;
    DWORD flags = isAnsi ? WC_NO_BEST_FIT_CHARS : 0;
    int length = WideCharToMultiByte(codePage, flags, text.data(), static_cast<int>(text.size()),
                                     nullptr, 0, nullptr, isAnsi ? &usedDefault : nullptr);
    if (length == 0 || usedDefault) {
        return std::nullopt;
    }
    std::string bytes(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(codePage, flags, text.data(), static_cast<int>(text.size()), bytes.data(),
                        length, nullptr, nullptr);
    // A character the ANSI code page maps to another one does not come back.
    if (isAnsi && textFromCodePage(codePage, bytes) != text) {
        return std::nullopt;
    }
    return bytes;
}

std::wstring textFromUtf16(std::string_view bytes, bool bigEndian)
{
    std::wstring text;
    text.reserve(bytes.size() / 2);
    for (size_t index = 0; index + 1 < bytes.size(); index += 2) {
        unsigned char first = static_cast<unsigned char>(bytes[index]);
        unsigned char second = static_cast<unsigned char>(bytes[index + 1]);
        text += static_cast<wchar_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
    }
    return text;
}

std::string utf16Bytes(const std::wstring& text, bool bigEndian)
{
    std::string bytes(bigEndian ? utf16BigEndianMark : utf16LittleEndianMark);
    for (wchar_t c : text) {
        char high = static_cast<char>((c >> 8) & 0xFF);
        char low = static_cast<char>(c & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

std::string fileBytes(const SettingsFileText& contents)
{
    switch (contents.encoding) {
        case SettingsFileEncoding::ansi:
            if (std::optional<std::string> bytes = bytesInCodePage(CP_ACP, contents.text)) {
                return *bytes;
            }
            break;  // the name does not fit the code page: the file becomes UTF-16
        case SettingsFileEncoding::utf8:
            if (std::optional<std::string> bytes = bytesInCodePage(CP_UTF8, contents.text)) {
                return std::string(utf8Mark) + *bytes;
            }
            break;  // an unpaired surrogate has no UTF-8 form
        case SettingsFileEncoding::utf16BigEndian:
            return utf16Bytes(contents.text, true);
        case SettingsFileEncoding::utf16LittleEndian:
            break;
    }
    return utf16Bytes(contents.text, false);
}

[[nodiscard]] bool writeAll(HANDLE file, const std::string& bytes)
{
    size_t written = 0;
    while (written < bytes.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - written, 1u << 20));
        DWORD done = 0;
        if (!WriteFile(file, bytes.data() + written, chunk, &done, nullptr) || done == 0) {
            return false;
        }
        written += done;
    }
    return true;
}

}  // namespace

std::optional<SettingsFileText> readSettingsFileText(const std::wstring& path)
{
    std::optional<std::wstring> systemPath = toSystemPath(path);
    if (!systemPath) {
        return std::nullopt;
    }
    FileHandle file(CreateFileW(systemPath->c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND) {
            return SettingsFileText{};
        }
        SetLastError(error);
        return std::nullopt;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) {
        return std::nullopt;
    }
    if (size.QuadPart > largestFileSize) {
        SetLastError(ERROR_FILE_TOO_LARGE);
        return std::nullopt;
    }
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() &&
        !ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) {
        return std::nullopt;
    }
    bytes.resize(read);

    std::string_view view(bytes);
    SettingsFileText contents;
    if (view.starts_with(utf8Mark)) {
        contents.encoding = SettingsFileEncoding::utf8;
        contents.text = textFromCodePage(CP_UTF8, view.substr(utf8Mark.size()));
    } else if (view.starts_with(utf16LittleEndianMark)) {
        contents.encoding = SettingsFileEncoding::utf16LittleEndian;
        contents.text = textFromUtf16(view.substr(2), false);
    } else if (view.starts_with(utf16BigEndianMark)) {
        contents.encoding = SettingsFileEncoding::utf16BigEndian;
        contents.text = textFromUtf16(view.substr(2), true);
    } else {
        contents.encoding = SettingsFileEncoding::ansi;
        contents.text = textFromCodePage(CP_ACP, view);
    }
    return contents;
}

bool replaceSettingsFileText(const std::wstring& path, const SettingsFileText& contents)
{
    std::optional<std::wstring> systemPath = toSystemPath(path);
    // The new file sits beside the old one, on the same volume, so that the
    // replacement is one rename.
    std::optional<std::wstring> temporaryPath =
        toSystemPath(path + L"." + decimalText(GetCurrentProcessId()) + L".new");
    if (!systemPath || !temporaryPath) {
        return false;
    }
    const std::string bytes = fileBytes(contents);
    {
        FileHandle file(CreateFileW(temporaryPath->c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH,
                                    nullptr));
        if (!file) {
            return false;
        }
        if (!writeAll(file.get(), bytes) || !FlushFileBuffers(file.get())) {
            DWORD error = GetLastError();
            file.reset();
            DeleteFileW(temporaryPath->c_str());
            SetLastError(error);
            return false;
        }
    }
    if (!MoveFileExW(temporaryPath->c_str(), systemPath->c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DWORD error = GetLastError();
        DeleteFileW(temporaryPath->c_str());
        SetLastError(error);
        return false;
    }
    return true;
}
