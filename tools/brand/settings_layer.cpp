#include "brand/settings_layer.h"

#include <cwctype>
#include <set>
#include <utility>

#include "config/embedded_settings_text.h"
#include "config/ini_text.h"
#include "config/settings_model.h"

namespace {

enum class KeyReach { layered, fileOnly };

struct KnownKey {
    std::wstring section;
    std::wstring key;
    KeyReach reach;
};

// Asks the settings model for every key, answering just enough for it to
// read them all, and notes what it asked.
class KeyRecorder final : public SettingsTextSource {
public:
    std::wstring readFileSetting(std::wstring_view section, std::wstring_view key) override
    {
        keys.push_back({std::wstring(section), std::wstring(key), KeyReach::fileOnly});
        return {};
    }
    std::wstring readLayeredSetting(std::wstring_view section, std::wstring_view key) override
    {
        keys.push_back({std::wstring(section), std::wstring(key), KeyReach::layered});
        // The model stops before the later keys when no main class is named.
        return key == L"Main Class" ? L"Main" : L"";
    }
    std::optional<std::wstring> readUserSetting(std::wstring_view, std::wstring_view,
                                                std::wstring_view, std::wstring_view) override
    {
        return std::nullopt;
    }

    std::vector<KnownKey> keys;
};

std::vector<KnownKey> knownKeys()
{
    KeyRecorder recorder;
    LauncherSettings settings;
    (void)fillLauncherSettings(recorder, L"", settings);
    return recorder.keys;
}

// Names match as the profile functions match them: letter case does not count.
std::wstring folded(std::wstring_view name)
{
    std::wstring result;
    for (wchar_t unit : name) {
        result += (unit >= L'a' && unit <= L'z') ? static_cast<wchar_t>(unit - L'a' + L'A') : unit;
    }
    return result;
}

std::string shown(std::wstring_view name)
{
    std::u16string units;
    for (wchar_t unit : name) {
        units += static_cast<char16_t>(unit);
    }
    return utf8FromUtf16(units);
}

std::wstring wideFrom(const std::u16string& units)
{
    return std::wstring(units.begin(), units.end());
}

}  // namespace

SettingsLayer prepareSettingsLayer(ByteView file)
{
    std::string_view bytes(reinterpret_cast<const char*>(file.data()), file.size());
    EmbeddedTextBytes classified = classifyEmbeddedText(bytes);
    std::wstring text;
    switch (classified.encoding) {
        case EmbeddedTextEncoding::unsupported:
            throw RefusedInput("the settings file is big-endian UTF-16, which the launcher does not read; "
                               "save it as UTF-8");
        case EmbeddedTextEncoding::utf16LittleEndian:
            text = textFromUtf16LittleEndian(classified.text);
            break;
        case EmbeddedTextEncoding::utf8:
            text = wideFrom(utf16FromUtf8(classified.text, "the settings file"));
            break;
    }
    SettingsLayer layer{Bytes(file.begin(), file.end()), {}};
    MemorySettingsStore store = parseIniText(textBeforeFirstZero(text));

    std::vector<KnownKey> known = knownKeys();
    std::set<std::wstring> seenSections;
    for (const std::wstring& section : store.sectionNames()) {
        std::wstring foldedSection = folded(section);
        if (!seenSections.insert(foldedSection).second) {
            layer.warnings.push_back("section [" + shown(section) +
                                     "] is given twice; only the first one is read");
            continue;
        }
        bool sectionKnown = false;
        for (const KnownKey& entry : known) {
            sectionKnown = sectionKnown || folded(entry.section) == foldedSection;
        }
        if (!sectionKnown) {
            layer.warnings.push_back("unknown section [" + shown(section) + "]");
            continue;
        }
        for (const std::wstring& key : store.keyNames(section)) {
            // A comment line reads as a key no setting asks for: it is meant for people.
            if (key.starts_with(L';')) {
                continue;
            }
            const KnownKey* match = nullptr;
            for (const KnownKey& entry : known) {
                if (folded(entry.section) == foldedSection && folded(entry.key) == folded(key)) {
                    match = &entry;
                }
            }
            if (!match) {
                layer.warnings.push_back("unknown key \"" + shown(key) + "\" in section [" +
                                         shown(section) + "]");
            } else if (match->reach == KeyReach::fileOnly) {
                layer.warnings.push_back("key \"" + shown(key) + "\" in section [" + shown(section) +
                                         "] is read from the settings file only, never from the "
                                         "embedded settings");
            }
        }
    }
    return layer;
}
