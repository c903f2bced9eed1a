// Settings held in memory: the embedded layer under the settings file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// How a read finds its section and key.
enum class NameMatching {
    exact,  // letter case and blanks count
    // As the profile-string functions do: the names asked for are trimmed of
    // blanks and control characters 9 to 13, 26 and 32, letter case does not
    // count (A to Z), and a section with an empty name is never found.
    asProfileFunctions,
};

// An ordered list of sections, each an ordered list of key/value pairs. Names
// match exactly (letter case counts) unless the store was made to match as
// the profile functions do; the first match wins, so a section or key given
// twice keeps its first occurrence.
class MemorySettingsStore {
public:
    MemorySettingsStore() = default;
    explicit MemorySettingsStore(NameMatching matching) : matching_(matching) {}

    // Nothing to open: always 0, the "no error" of the file-backed stores.
    std::uint32_t probe() const noexcept { return 0; }

    // The value of the first matching key in the first matching section; empty
    // when either is missing. A later section of the same name is not looked at.
    std::wstring readSetting(std::wstring_view section, std::wstring_view key) const;

    // Every section name in order, repeated names included (empty names too,
    // unless the store matches as the profile functions do).
    std::vector<std::wstring> sectionNames() const;

    // The key names of the first section of that name, in order, repeated
    // names included: the keys a read of that section can find.
    std::vector<std::wstring> keyNames(std::wstring_view section) const;

    // Appends a new section, even when one of that name exists.
    void addSection(std::wstring_view name);

    // Appends a pair to the section added last; ignored while there is none.
    void addToLastSection(std::wstring_view key, std::wstring_view value);

    // Appends a pair to the first section of that name, appending the section
    // when it is missing. An existing key is not replaced: the first one wins.
    void setSetting(std::wstring_view section, std::wstring_view key, std::wstring_view value);

    // Nothing is stored on disk, so there is nothing to delete.
    void deleteFile() noexcept {}

    bool isEmpty() const noexcept { return sections_.empty(); }

private:
    struct Section {
        std::wstring name;
        std::vector<std::pair<std::wstring, std::wstring>> pairs;
    };

    const Section* findSection(std::wstring_view name) const;
    bool namesMatch(std::wstring_view stored, std::wstring_view asked) const;

    NameMatching matching_ = NameMatching::exact;
    std::vector<Section> sections_;
};
