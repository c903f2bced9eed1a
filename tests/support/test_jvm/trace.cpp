#include "support/test_jvm/trace.h"

#include <cerrno>
#include <cwchar>
#include <vector>

#include "support/handle_owners.h"
#include "support/test_jvm/test_jvm_variables.h"
#include "support/test_text.h"

namespace test_jvm {

void traceLine(std::string_view line)
{
    std::wstring traceFile;
    if (!readEnvironmentVariable(kTraceVariable, traceFile) || traceFile.empty()) {
        return;
    }
    // Append-only access makes every write land at the end of the file, even
    // when another process wrote since.
    FileHandle file(CreateFileW(traceFile.c_str(), FILE_APPEND_DATA,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return;
    }
    std::string bytes(line);
    bytes += '\n';
    DWORD written = 0;
    WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::string utf8FromWide(std::wstring_view text)
{
    return harness::toUtf8(text);
}

std::string utf8FromAnsi(const char* text)
{
    if (text == nullptr) {
        return "(null)";
    }
    int size = MultiByteToWideChar(CP_THREAD_ACP, 0, text, -1, nullptr, 0);
    if (size <= 1) {
        return {};
    }
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_THREAD_ACP, 0, text, -1, wide.data(), size);
    wide.resize(static_cast<size_t>(size) - 1);
    return utf8FromWide(wide);
}

bool readEnvironmentVariable(const wchar_t* name, std::wstring& value)
{
    // Asked each time: the launcher changes its environment while running,
    // and the C runtime's copy would not show that.
    std::vector<wchar_t> buffer(256);
    for (;;) {
        SetLastError(ERROR_SUCCESS);
        DWORD length =
            GetEnvironmentVariableW(name, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) {
                return false;
            }
            value.clear();
            return true;
        }
        if (length < buffer.size()) {
            value.assign(buffer.data(), length);
            return true;
        }
        buffer.resize(length);
    }
}

long environmentNumber(const wchar_t* name, long fallback)
{
    std::wstring text;
    if (!readEnvironmentVariable(name, text) || text.empty()) {
        return fallback;
    }
    wchar_t* end = nullptr;
    errno = 0;
    long number = std::wcstol(text.c_str(), &end, 10);
    if (errno != 0 || end == nullptr || *end != L'\0') {
        return fallback;
    }
    return number;
}

std::wstring modulePath(HMODULE module)
{
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD length = GetModuleFileNameW(module, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return {};
        }
        if (length < buffer.size()) {
            return std::wstring(buffer.data(), length);
        }
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace test_jvm
