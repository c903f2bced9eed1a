#include "ui/standard_error.h"

#include <windows.h>

#include <algorithm>
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

// Writes the whole text through the write function, which takes at most a
// chunk and says how much it wrote; false when a write fails or writes nothing.
template <typename Character, typename Write>
bool writeInChunks(std::basic_string_view<Character> text, size_t chunkSize, Write write)
{
    while (!text.empty()) {
        DWORD written = 0;
        DWORD chunk = static_cast<DWORD>(std::min(text.size(), chunkSize));
        if (!write(text.data(), chunk, &written) || written == 0) {
            return false;
        }
        text.remove_prefix(written);
    }
    return true;
}

// A console takes UTF-16 whatever its code page.
bool writeConsole(HANDLE console, std::wstring_view text)
{
    return writeInChunks(text, 8192, [console](const wchar_t* data, DWORD size, DWORD* written) {
        return WriteConsoleW(console, data, size, written, nullptr) != FALSE;
    });
}

bool writeBytes(HANDLE file, std::string_view bytes)
{
    return writeInChunks(bytes, 65536, [file](const char* data, DWORD size, DWORD* written) {
        return WriteFile(file, data, size, written, nullptr) != FALSE;
    });
}

}  // namespace

bool writeToStandardError(std::wstring_view text) noexcept
{
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
}
