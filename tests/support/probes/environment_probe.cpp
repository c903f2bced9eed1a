// Reports what it was started with, so that the harness can prove it passes
// command lines, current folders, environments and standard handles exactly:
//   environment_probe.exe <report file> <exit code> [NAME...]
// writes, in UTF-8, one line each: the command line, the current folder, and
// "NAME=value" or "NAME absent" per name; prints "out" to standard output and
// "err" to standard error; and ends with the exit code given (decimal or 0x hex).
#include <windows.h>
// After windows.h, which it needs.
#include <cwchar>
#include <string>
#include <vector>

#include "support/command_line.h"
#include "support/handle_owners.h"
#include "support/test_text.h"

namespace {

std::wstring currentFolder()
{
    DWORD size = GetCurrentDirectoryW(0, nullptr);
    std::wstring folder(size, L'\0');
    DWORD length = GetCurrentDirectoryW(size, folder.data());
    folder.resize(length < size ? length : 0);
    return folder;
}

std::wstring variableLine(const wchar_t* name)
{
    DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) {
        return std::wstring(name) + L" absent";
    }
    std::wstring value(size, L'\0');
    DWORD length = GetEnvironmentVariableW(name, value.data(), size);
    value.resize(length < size ? length : 0);
    return std::wstring(name) + L"=" + value;
}

void writeTo(DWORD standardHandle, const char* text)
{
    DWORD written = 0;
    WriteFile(GetStdHandle(standardHandle), text, static_cast<DWORD>(strlen(text)), &written,
              nullptr);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    std::optional<std::vector<std::wstring>> arguments =
        harness::splitCommandLine(GetCommandLineW());
    if (!arguments || arguments->size() < 3) {
        return 1;
    }
    std::wstring report = std::wstring(GetCommandLineW()) + L"\n" + currentFolder() + L"\n";
    for (size_t i = 3; i < arguments->size(); ++i) {
        report += variableLine((*arguments)[i].c_str()) + L"\n";
    }
    std::string bytes = harness::toUtf8(report);
    FileHandle file(CreateFileW((*arguments)[1].c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    bool reported = file && WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()),
                                      &written, nullptr);
    int exitCode = static_cast<int>(std::wcstoul((*arguments)[2].c_str(), nullptr, 0));
    writeTo(STD_OUTPUT_HANDLE, "out");
    writeTo(STD_ERROR_HANDLE, "err");
    return reported ? exitCode : 1;
}
