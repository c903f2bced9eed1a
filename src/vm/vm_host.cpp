#include "vm/vm_host.h"

// Hosting the VM is not built yet: binding the JVM library fails, so a start
// that got this far ends with exit code -1.

void prepareVmEnvironment(const std::wstring&, const LauncherSettings&) {}

bool bindJvmLibrary(HWND, const std::wstring&, JvmEntryPoints&)
{
    return false;
}

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
