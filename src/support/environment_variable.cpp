#include "support/environment_variable.h"

#include <windows.h>

#include <vector>

std::wstring environmentVariable(const wchar_t* name)
{
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD size = static_cast<DWORD>(buffer.size());
        DWORD length = GetEnvironmentVariableW(name, buffer.data(), size);
        if (length < size) {
            return std::wstring(buffer.data(), length);
        }
        // Too small: length is the room the value needs, its zero included.
        buffer.assign(length, L'\0');
    }
}
