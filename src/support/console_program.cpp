#include "support/console_program.h"

#include <windows.h>

namespace {

bool readConsoleSubsystem() noexcept
{
    // The executable's image is mapped for the life of the process: its
    // headers are read in place, nothing is opened.
    const auto* base = reinterpret_cast<const BYTE*>(GetModuleHandleW(nullptr));
    if (base == nullptr) {
        return false;
    }
    const auto* dosHeader = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    if (dosHeader->e_magic != IMAGE_DOS_SIGNATURE) {
        return false;
    }
    const auto* ntHeaders = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dosHeader->e_lfanew);
    if (ntHeaders->Signature != IMAGE_NT_SIGNATURE) {
        return false;
    }
    return ntHeaders->OptionalHeader.Subsystem == IMAGE_SUBSYSTEM_WINDOWS_CUI;
}

}  // namespace

bool runsAsConsoleProgram() noexcept
{
    static const bool console = readConsoleSubsystem();
    return console;
}
