#include "vm/vm_options.h"

// Not built yet: no environment and no options.

void prepareVmEnvironment(const std::wstring&, const LauncherSettings&, VmOptionList&) {}

void assembleVmOptions(HWND, const LauncherSettings&, std::vector<std::wstring>&, VmOptionList&,
                       std::uint64_t&, StreamRedirection&)
{
}
