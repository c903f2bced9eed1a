#include "ui/centre_dialog.h"

#include "ui/dialog_placement.h"

namespace {

ScreenBox boxOf(const RECT& rect)
{
    return ScreenBox{rect.left, rect.top, rect.right, rect.bottom};
}

}  // namespace

void centreDialog(HWND dialog) noexcept
{
    RECT dialogRect{};
    GetWindowRect(dialog, &dialogRect);
    HWND owner = GetWindow(dialog, GW_OWNER);
    bool besideOwner = owner != nullptr && IsWindowVisible(owner) && !IsIconic(owner);
    HMONITOR monitor = MonitorFromWindow(besideOwner ? owner : dialog, MONITOR_DEFAULTTONEAREST);
    MONITORINFO monitorInfo{};
    monitorInfo.cbSize = sizeof(monitorInfo);
    if (!GetMonitorInfoW(monitor, &monitorInfo)) {
        return;
    }
    RECT reference = monitorInfo.rcWork;
    if (besideOwner) {
        GetWindowRect(owner, &reference);
    }
    ScreenPoint origin =
        centredDialogOrigin(boxOf(dialogRect), boxOf(reference), boxOf(monitorInfo.rcWork));
    SetWindowPos(dialog, nullptr, origin.x, origin.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
