// Alone in its file: a test build of the launcher links its own
// readMachineMemory, and the library's is then never pulled in.
#include "vm/machine_memory.h"

#include <windows.h>

MachineMemory readMachineMemory()
{
    // The extended call, because GlobalMemoryStatus caps its totals at 4 GB in
    // a 32-bit process.
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof(status);
    if (!GlobalMemoryStatusEx(&status)) {
        return {};
    }
    return MachineMemory{status.ullTotalPhys, status.ullAvailVirtual};
}
