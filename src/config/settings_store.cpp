#include "config/settings_store.h"

#include "config/ini_text.h"
#include "config/profile_names.h"
#include "config/settings_file_text.h"
#include "support/diagnostic_trace.h"
#include "support/handle_owners.h"
#include "support/split_text.h"

namespace {

constexpr DWORD firstBufferSize = 256;

// A file that keeps filling whatever room it is given is not a settings file;
// stop growing at 16 million characters and use what was read.
constexpr DWORD largestBufferSize = 1u << 24;

// Text up to the first zero: the profile functions count past a zero that a
// damaged file may carry.
std::wstring textUpToZero(const std::vector<wchar_t>& buffer, DWORD length)
{
    std::wstring_view text(buffer.data(), length);
    return std::wstring(text.substr(0, text.find(L'\0')));
}

// A list of names that a profile function writes one after another, each
// ended by a zero: readList(buffer, size) returns the characters written.
template <typename ReadList>
std::vector<std::wstring> readNameList(ReadList readList)
{
    std::vector<wchar_t> buffer(firstBufferSize);
    DWORD length = 0;
    for (;;) {
        DWORD size = static_cast<DWORD>(buffer.size());
        length = readList(buffer.data(), size);
        // The list is cut to size minus 2 when it does not fit.
        if (length != size - 2 || size >= largestBufferSize) {
            break;
        }
        buffer.assign(size * 2, L'\0');
    }
    std::vector<std::wstring> names;
    for (std::wstring& name :
         splitText(std::wstring_view(buffer.data(), length), std::wstring_view(L"\0", 1))) {
        if (!name.empty()) {
            names.push_back(std::move(name));
        }
    }
    return names;
}

}  // namespace

DWORD IniSettingsStore::probe() const
{
    FileHandle file(CreateFileW(filePath_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return GetLastError();
    }
    char firstBytes[4];
    DWORD bytesRead = 0;
    if (!ReadFile(file.get(), firstBytes, sizeof firstBytes, &bytesRead, nullptr)) {
        return GetLastError();
    }
    return 0;
}

bool IniSettingsStore::mayHoldSetting(std::wstring_view section, std::wstring_view key) const
{
    if (!sectionNames_) {
        sectionNames_ = IniSettingsStore::sectionNames();
    }
    if (!mayHoldProfileName(*sectionNames_, section)) {
        return false;
    }
    // A value is found under the section name trimmed of its blanks, the key
    // list only under the name as it stands: with blanks around, just ask.
    if (trimProfileBlanks(section).size() != section.size()) {
        return true;
    }
    for (const auto& [asked, keys] : keyNames_) {
        if (asked == section) {
            return mayHoldProfileName(keys, key);
        }
    }
    std::wstring sectionName(section);
    keyNames_.emplace_back(sectionName, keyNames(sectionName));
    return mayHoldProfileName(keyNames_.back().second, key);
}

std::vector<std::wstring> IniSettingsStore::keyNames(const std::wstring& section) const
{
    return readNameList([&](wchar_t* buffer, DWORD size) {
        return GetPrivateProfileStringW(section.c_str(), nullptr, L"", buffer, size,
                                        filePath_.c_str());
    });
}

void IniSettingsStore::forgetNames()
{
    sectionNames_.reset();
    keyNames_.clear();
}

std::wstring IniSettingsStore::readSetting(std::wstring_view section, std::wstring_view key) const
{
    if (!mayHoldSetting(section, key)) {
        return std::wstring();
    }
    std::wstring sectionName(section);
    std::wstring keyName(key);
    std::vector<wchar_t> buffer(firstBufferSize);
    for (;;) {
        DWORD size = static_cast<DWORD>(buffer.size());
        DWORD length = GetPrivateProfileStringW(sectionName.c_str(), keyName.c_str(), L"",
                                                buffer.data(), size, filePath_.c_str());
        // A value that fills the buffer may have been cut: read it again with
        // twice the room.
        if (length != size - 1 || size >= largestBufferSize) {
            return textUpToZero(buffer, length);
        }
        buffer.assign(size * 2, L'\0');
    }
}

std::vector<std::wstring> IniSettingsStore::sectionNames() const
{
    return readNameList([&](wchar_t* buffer, DWORD size) {
        return GetPrivateProfileSectionNamesW(buffer, size, filePath_.c_str());
    });
}

bool IniSettingsStore::writeSetting(std::wstring_view section, std::wstring_view key,
                                    std::wstring_view value)
{
    // Not WritePrivateProfileStringW: it creates a file in the ANSI code page,
    // turning a folder name outside it into "?", and rewrites the file in
    // place, so a crash mid-write can leave it cut short.
    std::optional<SettingsFileText> contents = readSettingsFileText(filePath_);
    if (!contents) {
        DWORD error = GetLastError();
        traceLine({L"settings file ", filePath_, L": not written, [", section, L"] ", key,
                   L" kept; it cannot be read, error ", traceNumber(error)});
        return false;
    }
    std::optional<std::wstring> edited = withIniValue(contents->text, section, key, value);
    if (!edited) {
        traceLine({L"settings file ", filePath_, L": not written, [", section, L"] ", key, L" = \"",
                   value, L"\" cannot be stored in INI text"});
        return false;
    }
    contents->text = std::move(*edited);
    forgetNames();
    if (!replaceSettingsFileText(filePath_, *contents)) {
        DWORD error = GetLastError();
        traceLine({L"settings file ", filePath_, L": writing [", section, L"] ", key,
                   L" failed, error ", traceNumber(error)});
        return false;
    }
    traceLine({L"settings file ", filePath_, L": [", section, L"] ", key, L" = \"", value,
               L"\" written"});
    return true;
}

bool IniSettingsStore::deleteFile()
{
    forgetNames();
    return DeleteFileW(filePath_.c_str()) != FALSE;
}
