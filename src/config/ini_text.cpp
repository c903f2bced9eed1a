#include "config/ini_text.h"

#include <vector>

#include "config/profile_names.h"

namespace {

constexpr wchar_t byteOrderMark = 0xFEFF;

bool isLineBreak(wchar_t c)
{
    return c == L'\r' || c == L'\n';
}

std::wstring_view upToZero(std::wstring_view text)
{
    return text.substr(0, text.find(L'\0'));
}

bool hasQuotesAround(std::wstring_view value)
{
    return value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') &&
           value.back() == value.front();
}

// One line of the text: where it starts, its length up to the line break, and
// where the next line starts (after CR LF, CR or LF). An empty line between
// two breaks reads as nothing, so this is the profile functions' split too.
struct TextLine {
    size_t start = 0;
    size_t length = 0;
    size_t next = 0;
};

std::vector<TextLine> linesOf(std::wstring_view text, size_t from)
{
    std::vector<TextLine> lines;
    size_t position = from;
    while (position < text.size()) {
        TextLine line;
        line.start = position;
        while (position < text.size() && !isLineBreak(text[position])) {
            ++position;
        }
        line.length = position - line.start;
        if (position < text.size() && text[position] == L'\r') {
            ++position;
        }
        if (position < text.size() && text[position] == L'\n') {
            ++position;
        }
        line.next = position;
        lines.push_back(line);
    }
    return lines;
}

// What a line means to the profile functions.
struct LineMeaning {
    enum class Kind { blank, section, key } kind = Kind::blank;
    std::wstring_view name;   // section or key name, up to its first zero
    std::wstring_view value;  // the key's value as written, up to its first zero
};

LineMeaning meaningOf(std::wstring_view line)
{
    LineMeaning meaning;
    line = trimProfileBlanks(line);
    if (line.empty()) {
        return meaning;
    }
    if (line.front() == L'[') {
        size_t close = line.rfind(L']');
        if (close != std::wstring_view::npos && close > 0) {
            meaning.kind = LineMeaning::Kind::section;
            meaning.name = upToZero(trimProfileBlanks(line.substr(1, close - 1)));
            return meaning;
        }
    }
    meaning.kind = LineMeaning::Kind::key;
    size_t equals = line.find(L'=');
    if (equals == std::wstring_view::npos) {
        meaning.name = upToZero(line);
        return meaning;
    }
    meaning.name = upToZero(trimProfileBlanks(line.substr(0, equals)));
    meaning.value = upToZero(trimProfileBlanks(line.substr(equals + 1)));
    return meaning;
}

size_t textStart(std::wstring_view text)
{
    return !text.empty() && text.front() == byteOrderMark ? 1 : 0;
}

bool isWritableName(std::wstring_view name)
{
    if (name.empty() || name != trimProfileBlanks(name)) {
        return false;
    }
    for (wchar_t c : name) {
        if (isLineBreak(c) || c == L'\0') {
            return false;
        }
    }
    return true;
}

// The line that sets the key; in quotes when the value would otherwise lose
// its outer blanks or quotes on reading.
std::wstring keyLine(std::wstring_view key, std::wstring_view value)
{
    std::wstring line(key);
    line += L'=';
    bool quoted = value != trimProfileBlanks(value) || hasQuotesAround(value);
    if (quoted) {
        line += L'"';
    }
    line += value;
    if (quoted) {
        line += L'"';
    }
    return line;
}

}  // namespace

MemorySettingsStore parseIniText(std::wstring_view text)
{
    MemorySettingsStore store(NameMatching::asProfileFunctions);
    bool sectionOpen = false;
    for (const TextLine& line : linesOf(text, textStart(text))) {
        LineMeaning meaning = meaningOf(text.substr(line.start, line.length));
        switch (meaning.kind) {
            case LineMeaning::Kind::blank:
                break;
            case LineMeaning::Kind::section:
                store.addSection(meaning.name);
                sectionOpen = true;
                break;
            case LineMeaning::Kind::key:
                if (sectionOpen) {
                    std::wstring_view value = meaning.value;
                    if (hasQuotesAround(value)) {
                        value = value.substr(1, value.size() - 2);
                    }
                    store.addToLastSection(meaning.name, value);
                }
                break;
        }
    }
    return store;
}

std::optional<std::wstring> withIniValue(std::wstring_view text, std::wstring_view section,
                                         std::wstring_view key, std::wstring_view value)
{
    if (!isWritableName(section) || !isWritableName(key) ||
        key.find(L'=') != std::wstring_view::npos || key.front() == L'[') {
        return std::nullopt;
    }
    for (wchar_t c : value) {
        if (isLineBreak(c) || c == L'\0') {
            return std::nullopt;
        }
    }
    const std::wstring newLine = keyLine(key, value);

    bool inSection = false;
    bool sectionFound = false;
    size_t insertAt = 0;  // after the last line of the section found
    bool insertNeedsBreak = false;
    for (const TextLine& line : linesOf(text, textStart(text))) {
        LineMeaning meaning = meaningOf(text.substr(line.start, line.length));
        if (meaning.kind == LineMeaning::Kind::section) {
            if (sectionFound) {
                break;  // only the first section of the name is read
            }
            inSection = !meaning.name.empty() && sameProfileName(meaning.name, section);
            sectionFound = inSection;
        } else if (!inSection || meaning.kind == LineMeaning::Kind::blank) {
            continue;
        } else if (sameProfileName(meaning.name, key)) {
            std::wstring edited(text.substr(0, line.start));
            edited += newLine;
            edited += text.substr(line.start + line.length);
            return edited;
        }
        if (inSection) {
            insertAt = line.next;
            insertNeedsBreak = line.next == line.start + line.length;
        }
    }

    std::wstring edited;
    if (sectionFound) {
        edited = text.substr(0, insertAt);
        if (insertNeedsBreak) {
            edited += L"\r\n";
        }
        edited += newLine;
        edited += L"\r\n";
        edited += text.substr(insertAt);
        return edited;
    }
    edited = text;
    if (!edited.empty() && edited.size() > textStart(text) && !isLineBreak(edited.back())) {
        edited += L"\r\n";
    }
    edited += L'[';
    edited += section;
    edited += L"]\r\n";
    edited += newLine;
    edited += L"\r\n";
    return edited;
}
