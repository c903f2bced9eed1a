// Reading and writing the settings files through the system's profile-string
// functions.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// What every settings reader offers, in this order.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // Opens the file for reading without sharing and reads its first bytes:
    // 0 when that works, the system error code otherwise.
    [[nodiscard]] virtual DWORD probe() const = 0;

    // The value of a key; empty when the file, the section or the key is absent.
    virtual std::wstring readSetting(std::wstring_view section, std::wstring_view key) const = 0;

    // Every section name in the file.
    virtual std::vector<std::wstring> sectionNames() const = 0;

    // Writes the key, creating the file, section or key as needed.
    [[nodiscard]] virtual bool writeSetting(std::wstring_view section, std::wstring_view key,
                                            std::wstring_view value) = 0;

    [[nodiscard]] virtual bool deleteFile() = 0;

protected:
    SettingsStore() = default;
    SettingsStore(const SettingsStore&) = default;
    SettingsStore& operator=(const SettingsStore&) = default;
};

// A settings file read with GetPrivateProfileStringW. Each call opens the file
// itself; nothing stays open between calls, and reading never writes to it.
// The file's section names are asked for once, on the first read, and a
// section's key names on the first read of that section: a start asks for
// some thirty keys, mostly ones a file does not have, and each question opens
// the file again. So a store is made for one pass over a file that nobody else
// changes meanwhile; its own writes it takes into account.
// Writing keeps every other line and the file's encoding (a new file is
// UTF-16LE with a byte-order mark; an ANSI file that cannot hold the value
// becomes one), and replaces the file in one step through a new file beside
// it. A failed write is told in the diagnostic trace.
class IniSettingsStore : public SettingsStore {
public:
    explicit IniSettingsStore(std::wstring filePath) : filePath_(std::move(filePath)) {}

    DWORD probe() const override;
    std::wstring readSetting(std::wstring_view section, std::wstring_view key) const override;
    std::vector<std::wstring> sectionNames() const override;
    bool writeSetting(std::wstring_view section, std::wstring_view key,
                      std::wstring_view value) override;
    bool deleteFile() override;

    const std::wstring& filePath() const noexcept { return filePath_; }

private:
    bool mayHoldSetting(std::wstring_view section, std::wstring_view key) const;
    std::vector<std::wstring> keyNames(const std::wstring& section) const;
    void forgetNames();

    std::wstring filePath_;
    mutable std::optional<std::vector<std::wstring>> sectionNames_;
    // Each section asked for, by its name as asked, with its key names; a
    // start asks for a handful of sections.
    mutable std::vector<std::pair<std::wstring, std::vector<std::wstring>>> keyNames_;
};
