// Never ends by itself, so that the harness can prove it kills a stuck
// program at its limit. With "--start-child <file>" it first starts a second
// copy of itself and writes that copy's process id into the file, so that the
// harness can prove the child dies with it.
#include <windows.h>
// After windows.h, which it needs.
#include <string>

#include "support/command_line.h"
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
    std::optional<std::vector<std::wstring>> arguments =
        harness::splitCommandLine(GetCommandLineW());
    bool childWanted = arguments && arguments->size() == 3 && (*arguments)[1] == L"--start-child";
    if (childWanted && !startChild((*arguments)[2].c_str())) {
        return 1;
    }
    for (;;) {
        Sleep(1000);
    }
}
