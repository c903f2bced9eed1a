#include "config/memory_settings_store.h"

namespace {

bool isProfileBlank(wchar_t c)
{
    return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == 0x20;
}

std::wstring_view trimProfileBlanks(std::wstring_view text)
{
    while (!text.empty() && isProfileBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isProfileBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

wchar_t foldAsciiCase(wchar_t c)
{
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

}  // namespace

bool MemorySettingsStore::namesMatch(std::wstring_view stored, std::wstring_view asked) const
{
    if (matching_ == NameMatching::exact) {
        return stored == asked;
    }
    asked = trimProfileBlanks(asked);
    if (stored.size() != asked.size()) {
        return false;
    }
    for (size_t index = 0; index < stored.size(); ++index) {
        if (foldAsciiCase(stored[index]) != foldAsciiCase(asked[index])) {
            return false;
        }
    }
    return true;
}

const MemorySettingsStore::Section* MemorySettingsStore::findSection(std::wstring_view name) const
{
    for (const Section& section : sections_) {
        if (matching_ == NameMatching::asProfileFunctions && section.name.empty()) {
            continue;
        }
        if (namesMatch(section.name, name)) {
            return &section;
        }
    }
    return nullptr;
}

std::wstring MemorySettingsStore::readSetting(std::wstring_view section,
                                             std::wstring_view key) const
{
    const Section* found = findSection(section);
    if (found == nullptr) {
        return {};
    }
    if (matching_ == NameMatching::asProfileFunctions && trimProfileBlanks(key).empty()) {
        return {};
    }
    for (const auto& [name, value] : found->pairs) {
        if (namesMatch(name, key)) {
            return value;
        }
    }
    return {};
}

std::vector<std::wstring> MemorySettingsStore::sectionNames() const
{
    std::vector<std::wstring> names;
    names.reserve(sections_.size());
    for (const Section& section : sections_) {
        if (matching_ == NameMatching::asProfileFunctions && section.name.empty()) {
            continue;
        }
        names.push_back(section.name);
    }
    return names;
}

void MemorySettingsStore::addSection(std::wstring_view name)
{
    sections_.push_back(Section{std::wstring(name), {}});
}

void MemorySettingsStore::addToLastSection(std::wstring_view key, std::wstring_view value)
{
    if (!sections_.empty()) {
        sections_.back().pairs.emplace_back(key, value);
    }
}

void MemorySettingsStore::setSetting(std::wstring_view section, std::wstring_view key,
                                     std::wstring_view value)
{
    for (Section& existing : sections_) {
        if (namesMatch(existing.name, section)) {
            existing.pairs.emplace_back(key, value);
            return;
        }
    }
    addSection(section);
    addToLastSection(key, value);
}
