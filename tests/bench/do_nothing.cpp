// The yardstick of the start-up benchmark: a GUI program that ends at once,
// built like the launcher (static runtime, no imports beyond the C runtime's).
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    return 0;
}
