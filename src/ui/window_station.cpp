#include "ui/window_station.h"

#include <windows.h>

bool hasInteractiveWindowStation() noexcept
{
    // Not to be closed: the handle belongs to the process.
    HWINSTA station = GetProcessWindowStation();
    if (station == nullptr) {
        return false;
    }
    USEROBJECTFLAGS flags{};
    DWORD needed = 0;
    if (!GetUserObjectInformationW(station, UOI_FLAGS, &flags, sizeof(flags), &needed)) {
        return true;
    }
    return (flags.dwFlags & WSF_VISIBLE) != 0;
}
