// Starts a program, waits for it up to a limit and prints its exit code as the
// signed 32-bit value the program returned (a Unix shell running Wine sees only
// the low 8 bits). A program still running at the limit is killed.
//   run_and_report <seconds> <program> [arguments...]
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

std::wstring quoted(const wchar_t* text)
{
    return std::wstring(L"\"") + text + L"\"";
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3) {
        std::fwprintf(stderr, L"usage: run_and_report <seconds> <program> [arguments...]\n");
        return 2;
    }
    DWORD limitMs = static_cast<DWORD>(std::wcstoul(argv[1], nullptr, 10)) * 1000;
    std::wstring commandLine = quoted(argv[2]);
    for (int i = 3; i < argc; ++i) {
        commandLine += L" " + quoted(argv[i]);
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(argv[2], commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        DWORD error = GetLastError();
        std::fwprintf(stderr, L"run_and_report: cannot start %ls (error %lu)\n", argv[2], error);
        return 2;
    }
    CloseHandle(process.hThread);
    int status = 0;
    if (WaitForSingleObject(process.hProcess, limitMs) == WAIT_TIMEOUT) {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, 5000);
        std::wprintf(L"run_and_report: still running after %ls s, killed\n", argv[1]);
        status = 1;
    } else {
        DWORD exitCode = 0;
        GetExitCodeProcess(process.hProcess, &exitCode);
        std::wprintf(L"run_and_report: exit code %d\n", static_cast<int>(exitCode));
    }
    CloseHandle(process.hProcess);
    return status;
}
