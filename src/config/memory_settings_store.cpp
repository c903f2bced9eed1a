#include "config/memory_settings_store.h"

#include "config/profile_names.h"

bool MemorySettingsStore::namesMatch(std::wstring_view stored, std::wstring_view asked) const
{
    if (matching_ == NameMatching::exact) {
        return stored == asked;
    }
    return sameProfileName(stored, trimProfileBlanks(asked));
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

std::vector<std::wstring> MemorySettingsStore::keyNames(std::wstring_view section) const
{
    std::vector<std::wstring> names;
    if (const Section* found = findSection(section)) {
        for (const auto& pair : found->pairs) {
            names.push_back(pair.first);
        }
    }
    return names;
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
