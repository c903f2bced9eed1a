#include "ui/standard_error.h"

#include <windows.h>

#include <algorithm>
#include <new>
#include <string>

#include "ui/console_text.h"

namespace {

std::string utf8Of(std::wstring_view text)
{
    if (text.empty()) {
        return {};
    }
    int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                     nullptr, 0, nullptr, nullptr);
    if (length <= 0) {
        return {};
    }
    std::string bytes(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                        length, nullptr, nullptr);
    return bytes;
}

// A console takes UTF-16 whatever its code page; WriteConsoleW writes at
// most what fits in one call, so the text goes in a loop.
bool writeConsole(HANDLE console, std::wstring_view text)
{
    while (!text.empty()) {
        DWORD written = 0;
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(text.size(), 8192));
        if (!WriteConsoleW(console, text.data(), chunk, &written, nullptr) || written == 0) {
            return false;
        }
        text.remove_prefix(written);
    }
    return true;
}

bool writeBytes(HANDLE file, std::string_view bytes)
{
    while (!bytes.empty()) {
        DWORD written = 0;
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 65536));
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) {
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

}  // namespace

bool writeToStandardError(std::wstring_view text) noexcept
{
    try {
        HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
        if (error == nullptr || error == INVALID_HANDLE_VALUE) {
            return false;
        }
        std::wstring lines = consoleLines(text);
        DWORD mode = 0;
        if (GetConsoleMode(error, &mode)) {
            return writeConsole(error, lines);
        }
        return writeBytes(error, utf8Of(lines));
    } catch (const std::bad_alloc&) {
        return false;
    }
}
