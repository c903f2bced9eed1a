// libFuzzer harness for reading settings text in INI syntax. Any text gives
// at most one section a line, each named by text that is there, and a file's
// list of section names never rules out one of its own sections; and settings
// written out as plain "[section]" and "key = value" lines read back as written.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "config/ini_text.h"
#include "config/profile_names.h"
#include "fuzz/fuzz_input.h"

namespace {

constexpr wchar_t kPieceSeparator = 0x1F;
constexpr wchar_t kByteOrderMark = 0xFEFF;

// Blanks and control characters, and the Unicode spaces a reader might also trim.
bool isAnySpace(wchar_t unit)
{
    auto value = static_cast<std::uint32_t>(unit);
    return value <= 0x20 || value == 0x85 || value == 0xA0 || value == 0x1680 ||
           (value >= 0x2000 && value <= 0x200A) || value == 0x2028 || value == 0x2029 ||
           value == 0x202F || value == 0x205F || value == 0x3000 || value == kByteOrderMark;
}

std::wstring trimmedOfSpace(std::wstring_view text)
{
    while (!text.empty() && isAnySpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isAnySpace(text.back())) {
        text.remove_suffix(1);
    }
    return std::wstring(text);
}

// The text without the units that have a meaning in a settings line (and
// without line breaks and other controls), trimmed: what any reader of the
// syntax must give back unchanged.
std::wstring plainText(std::wstring_view text)
{
    std::wstring plain;
    for (wchar_t unit : text) {
        bool meaningful = std::wstring_view(L"[]=;#\"'").find(unit) != std::wstring_view::npos;
        if (!meaningful && static_cast<std::uint32_t>(unit) >= 0x20) {
            plain += unit;
        }
    }
    return trimmedOfSpace(plain);
}

std::wstring asciiUpperCase(std::wstring text)
{
    for (wchar_t& unit : text) {
        if (unit >= L'a' && unit <= L'z') {
            unit = static_cast<wchar_t>(unit - L'a' + L'A');
        }
    }
    return text;
}

void checkAnyText(std::wstring_view text)
{
    MemorySettingsStore store = parseIniText(text);
    // Any CR or LF ends a line.
    std::size_t lines = 1;
    for (wchar_t unit : text) {
        lines += unit == L'\r' || unit == L'\n' ? 1 : 0;
    }
    std::vector<std::wstring> names = store.sectionNames();
    FUZZ_CHECK(names.size() <= lines);
    for (const std::wstring& name : names) {
        std::size_t position = 0;
        FUZZ_CHECK(findFrom(text, name, position));
        FUZZ_CHECK(name.find_first_of(L"\r\n") == std::wstring::npos);
        FUZZ_CHECK(holdsUtf16Units(name));
        // A value is one line's text: never longer than the text.
        FUZZ_CHECK(store.readSetting(name, L"").size() <= text.size());
        // A store that skips the sections its file does not list must still
        // ask for this one, however its letters are cased.
        FUZZ_CHECK(mayHoldProfileName(names, name));
        FUZZ_CHECK(mayHoldProfileName(names, asciiUpperCase(name)));
        // And so for a key of the section against the section's key list.
        std::vector<std::wstring> keys = store.keyNames(name);
        for (const std::wstring& key : keys) {
            FUZZ_CHECK(mayHoldProfileName(keys, key));
            FUZZ_CHECK(mayHoldProfileName(keys, asciiUpperCase(key)));
        }
    }
    // A section with an empty name is never read, but it is there.
    FUZZ_CHECK(names.empty() || !store.isEmpty());
}

struct Section {
    std::wstring name;
    std::vector<std::pair<std::wstring, std::wstring>> pairs;
};

// Pieces starting with "[" open a section; the others are "key=value" (a
// piece without "=" is a key with an empty value). Every name and key carries
// its index, so none is given twice, whatever the letter case rule.
void checkWrittenSettings(std::wstring_view text)
{
    std::vector<std::wstring> pieces = piecesBetween(text, kPieceSeparator);
    std::vector<Section> sections;
    std::wstring written;
    if (pieces.front().empty()) {
        written += kByteOrderMark;
    }
    for (std::size_t index = 0; index < pieces.size(); ++index) {
        std::wstring_view piece = pieces[index];
        std::wstring number = std::to_wstring(index);
        if (!piece.empty() && piece.front() == L'[') {
            sections.push_back({L"s" + number + L"." + plainText(piece.substr(1)), {}});
            written += L"[" + sections.back().name + L"]\r\n";
            continue;
        }
        std::size_t equals = piece.find(L'=');
        std::wstring key = L"k" + number + L"." + plainText(piece.substr(0, equals));
        std::wstring value;
        if (equals != std::wstring_view::npos) {
            value = plainText(piece.substr(equals + 1));
        }
        // Blanks around "=" are part of neither side.
        written += key + (index % 2 == 0 ? L" = " : L"=") + value + L"\r\n";
        if (!sections.empty()) {
            sections.back().pairs.emplace_back(std::move(key), std::move(value));
        }
    }
    MemorySettingsStore store = parseIniText(written);
    std::vector<std::wstring> names = store.sectionNames();
    FUZZ_CHECK(names.size() == sections.size());
    for (std::size_t index = 0; index < sections.size(); ++index) {
        FUZZ_CHECK(names[index] == sections[index].name);
        for (const auto& [key, value] : sections[index].pairs) {
            FUZZ_CHECK(store.readSetting(sections[index].name, key) == value);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    std::wstring text = input.rest();
    checkAnyText(text);
    checkWrittenSettings(text);
    return 0;
}
