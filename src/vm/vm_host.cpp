#include "vm/vm_host.h"

// Hosting the VM is not built yet: creating the VM fails, so a start that got
// this far ends with exit code -1.

void prepareVmEnvironment(const std::wstring&, const LauncherSettings&) {}

void assembleVmOptions(HWND, const LauncherSettings&, std::vector<std::wstring>&, VmOptionList&,
                       std::uint64_t&)
{
}

bool createVm(VmRun&)
{
    return false;
}

bool runMainClass(VmRun&)
{
    return false;
}
