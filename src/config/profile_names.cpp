#include "config/profile_names.h"

namespace {

wchar_t foldAsciiCase(wchar_t c)
{
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool isAscii(std::wstring_view text)
{
    for (wchar_t c : text) {
        if (c > 0x7F) {
            return false;
        }
    }
    return true;
}

}  // namespace

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

bool sameProfileName(std::wstring_view left, std::wstring_view right)
{
    if (left.size() != right.size()) {
        return false;
    }
    for (size_t index = 0; index < left.size(); ++index) {
        if (foldAsciiCase(left[index]) != foldAsciiCase(right[index])) {
            return false;
        }
    }
    return true;
}

bool mayHoldProfileName(const std::vector<std::wstring>& names, std::wstring_view name)
{
    std::wstring_view wanted = trimProfileBlanks(name);
    if (wanted.empty() || wanted.front() == L';' || !isAscii(wanted)) {
        return true;
    }
    for (const std::wstring& listed : names) {
        if (!isAscii(listed) || sameProfileName(trimProfileBlanks(listed), wanted)) {
            return true;
        }
    }
    return false;
}
