#include "config/environment_text.h"

#include <windows.h>

#include <optional>
#include <vector>

namespace {

std::optional<std::wstring> expanded(const std::wstring& text)
{
    DWORD size = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
    // The environment may grow between asking for the size and expanding; the
    // second call then asks for more room and is repeated.
    while (size != 0) {
        std::vector<wchar_t> buffer(size);
        DWORD needed = ExpandEnvironmentStringsW(text.c_str(), buffer.data(), size);
        if (needed == 0) {
            return std::nullopt;
        }
        if (needed <= size) {
            return std::wstring(buffer.data());
        }
        size = needed;
    }
    return std::nullopt;
}

}  // namespace

std::wstring expandEnvironment(const std::wstring& text)
{
    return expanded(text).value_or(std::wstring());
}

bool expandEnvironmentInPlace(std::wstring& text)
{
    std::optional<std::wstring> result = expanded(text);
    if (!result) {
        return false;
    }
    text = std::move(*result);
    return true;
}

std::wstring ansiToWide(std::string_view text)
{
    if (text.empty()) {
        return {};
    }
    int length = MultiByteToWideChar(CP_THREAD_ACP, 0, text.data(), static_cast<int>(text.size()),
                                     nullptr, 0);
    if (length <= 0) {
        return {};
    }
    std::wstring wide(static_cast<size_t>(length), L'\0');
    length = MultiByteToWideChar(CP_THREAD_ACP, 0, text.data(), static_cast<int>(text.size()),
                                 wide.data(), length);
    if (length <= 0) {
        return {};
    }
    wide.resize(static_cast<size_t>(length));
    return wide;
}

std::wstring ansiToWide(const char* text)
{
    return text == nullptr ? std::wstring() : ansiToWide(std::string_view(text));
}

std::string wideToAnsi(std::wstring_view text)
{
    if (text.empty()) {
        return {};
    }
    int length = WideCharToMultiByte(CP_THREAD_ACP, 0, text.data(), static_cast<int>(text.size()),
                                     nullptr, 0, nullptr, nullptr);
    if (length <= 0) {
        return {};
    }
    std::string narrow(static_cast<size_t>(length), '\0');
    length = WideCharToMultiByte(CP_THREAD_ACP, 0, text.data(), static_cast<int>(text.size()),
                                 narrow.data(), length, nullptr, nullptr);
    if (length <= 0) {
        return {};
    }
    narrow.resize(static_cast<size_t>(length));
    return narrow;
}
