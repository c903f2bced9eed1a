#include "support/test_jvm/window_watch.h"

#include <windows.h>

#include <string>

#include "support/handle_owners.h"
#include "support/test_jvm/test_jvm_variables.h"
#include "support/test_jvm/trace.h"

namespace test_jvm {

namespace {

struct WindowSearch {
    const std::wstring* className = nullptr;
    bool found = false;
};

BOOL CALLBACK lookAtWindow(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    wchar_t className[256] = {};
    if (processId == GetCurrentProcessId() &&
        GetClassNameW(window, className, static_cast<int>(std::size(className))) > 0 &&
        *search->className == className) {
        search->found = true;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

void holdUntilReleased()
{
    std::wstring eventName;
    if (!readEnvironmentVariable(kHoldEventVariable, eventName) || eventName.empty()) {
        return;
    }
    KernelHandle event(OpenEventW(SYNCHRONIZE, FALSE, eventName.c_str()));
    bool released =
        event && WaitForSingleObject(event.get(), kHoldLimitMilliseconds) == WAIT_OBJECT_0;
    traceLine(released ? "hold released" : "hold not released");
}

void traceWatchedWindow(std::string_view moment)
{
    std::wstring className;
    if (!readEnvironmentVariable(kWatchWindowVariable, className) || className.empty()) {
        return;
    }
    WindowSearch search;
    search.className = &className;
    EnumWindows(lookAtWindow, reinterpret_cast<LPARAM>(&search));
    traceLine("window " + utf8FromWide(className) + " at " + std::string(moment) + ": " +
              (search.found ? "present" : "absent"));
}

}  // namespace test_jvm
