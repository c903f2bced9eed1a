// Ids of the unhandled-exception dialog, shared by its resource script and the
// code that runs it. Plain #defines, because windres reads this file too.
#pragma once

#define IDD_EXCEPTION_DIALOG 231

// The two buttons carry the system's OK and Cancel ids, so that Enter chooses
// "Ignorieren" and Esc and the close box act as "Stop".
#define IDC_EXCEPTION_IGNORE 1
#define IDC_EXCEPTION_STOP 2
#define IDC_EXCEPTION_ICON 204
#define IDC_EXCEPTION_TRACE 208
#define IDC_EXCEPTION_FRAME 209
#define IDC_EXCEPTION_HEADING 210
#define IDC_EXCEPTION_EXPLANATION 211
#define IDC_EXCEPTION_WARNING 212
// The size grip, a size-box scroll bar made when the dialog opens.
#define IDC_EXCEPTION_SIZE_GRIP 0xE801

// The system's error icon (IDI_ERROR / IDI_HAND).
#define IDI_SYSTEM_ERROR 32513
