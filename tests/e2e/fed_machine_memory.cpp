// The machine's memory as a test dictates it, for the launcher variant
// tarvo_fed_memory: linked before the launcher's library, this definition
// keeps the library's own reading out of the executable.
//   TARVO_TEST_TOTAL_PHYSICAL   installed physical memory, decimal bytes
//   TARVO_TEST_AVAILABLE_VIRTUAL free address space, decimal bytes
// An unset or unreadable variable counts as 0.
#include <windows.h>

#include <cstdint>
#include <cwchar>
#include <iterator>

#include "vm/machine_memory.h"

namespace {

std::uint64_t fedBytes(const wchar_t* name)
{
    wchar_t value[32] = {};
    DWORD length = GetEnvironmentVariableW(name, value, static_cast<DWORD>(std::size(value)));
    if (length == 0 || length >= std::size(value)) {
        return 0;
    }
    return std::wcstoull(value, nullptr, 10);
}

}  // namespace

MachineMemory readMachineMemory()
{
    return MachineMemory{fedBytes(L"TARVO_TEST_TOTAL_PHYSICAL"),
                         fedBytes(L"TARVO_TEST_AVAILABLE_VIRTUAL")};
}
