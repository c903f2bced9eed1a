// Placing a dialog when it opens.
#pragma once

#include <windows.h>

// Centres the dialog on its owner when the owner is visible, otherwise on the
// work area of its monitor, and keeps it inside that work area. Without a
// monitor to speak of the template's place stays.
void centreDialog(HWND dialog) noexcept;
