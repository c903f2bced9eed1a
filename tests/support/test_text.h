// UTF-8 for test output and reports: gtest messages and report files are
// 8-bit, the texts under test are UTF-16.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace harness {

inline std::string toUtf8(std::wstring_view text)
{
    if (text.empty()) {
        return {};
    }
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                   0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size,
                        nullptr, nullptr);
    return bytes;
}

inline std::wstring fromUtf8(std::string_view bytes)
{
    int size =
        MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(),
                        size);
    return text;
}

}  // namespace harness
