// The floor of the start-up benchmark: the least a GUI launcher must do before
// its Java runtime is loaded. It imports kernel32, user32 and advapi32, as the
// launcher does, and calls DefWindowProcW once, which gives its thread a
// message queue; then it ends. Built for size, like the shipped launcher.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    DefWindowProcW(nullptr, 0, 0, 0);
    // advapi32 is loaded with the process, as the launcher's is; nothing in
    // it is called.
    static void* volatile advapi32Import = reinterpret_cast<void*>(&RegCloseKey);
    (void)advapi32Import;
    return 0;
}
