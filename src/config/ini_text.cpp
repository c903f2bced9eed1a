#include "config/ini_text.h"

#include <cstdint>
#include <vector>

#include "support/split_text.h"

namespace {

constexpr wchar_t byteOrderMark = 0xFEFF;

bool isControlOrBlank(wchar_t c)
{
    return static_cast<std::uint32_t>(c) <= 32;
}

bool isWhiteSpace(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\v' || c == L'\f' || c == L'\r';
}

template <typename Predicate>
std::wstring_view trimStart(std::wstring_view text, Predicate drop)
{
    while (!text.empty() && drop(text.front())) {
        text.remove_prefix(1);
    }
    return text;
}

template <typename Predicate>
std::wstring_view trimEnd(std::wstring_view text, Predicate drop)
{
    while (!text.empty() && drop(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::wstring_view trimWhiteSpace(std::wstring_view text)
{
    return trimEnd(trimStart(text, isWhiteSpace), isWhiteSpace);
}

// "[name]" with blanks or control characters after the bracket still counts;
// the name between the brackets is not trimmed.
bool isSectionLine(std::wstring_view line)
{
    std::wstring_view trimmed = trimEnd(line, isControlOrBlank);
    return trimmed.size() >= 2 && trimmed.front() == L'[' && trimmed.back() == L']';
}

}  // namespace

MemorySettingsStore parseIniText(std::wstring_view text)
{
    MemorySettingsStore store;
    std::vector<std::wstring> lines = splitText(text, L"\r\n");
    if (!lines.empty() && !lines.front().empty() && lines.front().front() == byteOrderMark) {
        lines.front().erase(0, 1);
    }
    bool sectionOpen = false;
    for (const std::wstring& fullLine : lines) {
        std::wstring_view line = trimStart(fullLine, isControlOrBlank);
        if (line.empty()) {
            continue;
        }
        if (isSectionLine(line)) {
            size_t close = line.rfind(L']');
            store.addSection(line.substr(1, close - 1));
            sectionOpen = true;
            continue;
        }
        size_t equals = line.find(L'=');
        if (!sectionOpen || equals == std::wstring_view::npos) {
            continue;
        }
        store.addToLastSection(trimWhiteSpace(line.substr(0, equals)),
                               trimWhiteSpace(line.substr(equals + 1)));
    }
    return store;
}
