// The one way a test waits for what another thread or process does: look,
// and while it is not so yet, look again a moment later, up to a limit.
#pragma once

#include <windows.h>

namespace harness {

// Calls the condition until it returns true, sleeping the step between calls;
// false when the limit runs out first. A caller that needs what the last call
// saw keeps it in a variable the condition captures by reference.
template <typename Condition>
[[nodiscard]] bool pollUntil(Condition&& condition, DWORD limitMilliseconds,
                             DWORD stepMilliseconds = 50)
{
    const ULONGLONG deadline = GetTickCount64() + limitMilliseconds;
    while (!condition()) {
        if (GetTickCount64() >= deadline) {
            return false;
        }
        Sleep(stepMilliseconds);
    }
    return true;
}

}  // namespace harness
