// Never ends by itself, so that the harness can prove it kills a stuck
// program at its limit. With "--start-child <file>" it first starts a second
// copy of itself and writes that copy's process id into the file, so that the
// harness can prove the child dies with it.
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <string>

#include "support/handle_owners.h"

namespace {

bool startChild(const wchar_t* pidFile)
{
    wchar_t self[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    if (length == 0 || length == MAX_PATH) {
        return false;
    }
    std::wstring commandLine = L"\"" + std::wstring(self) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION created{};
    if (!CreateProcessW(self, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &created)) {
        return false;
    }
    KernelHandle process(created.hProcess);
    KernelHandle thread(created.hThread);
    std::string pid = std::to_string(created.dwProcessId);
    FileHandle file(CreateFileW(pidFile, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file &&
           WriteFile(file.get(), pid.data(), static_cast<DWORD>(pid.size()), &written, nullptr) &&
           written == pid.size();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    bool childWanted =
        arguments != nullptr && count == 3 && std::wstring(arguments[1]) == L"--start-child";
    if (childWanted && !startChild(arguments[2])) {
        LocalFree(arguments);
        return 1;
    }
    LocalFree(arguments);
    for (;;) {
        Sleep(1000);
    }
}
