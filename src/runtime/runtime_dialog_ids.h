// Ids of the runtime-not-found dialog and its controls, shared by the dialog
// template and the code. Plain #defines, because windres reads this file too.
#pragma once

#define IDD_RUNTIME_NOT_FOUND 201

#define IDC_RUNTIME_FOLDER 201   // read-only edit: the folder picked
#define IDC_BROWSE_RUNTIME 202   // "Durchsuche...": opens the folder browser
#define IDC_RUNTIME_MESSAGE 203  // the message naming the runtime needed
#define IDC_RUNTIME_ICON 204     // the system's error icon
#define IDC_DOWNLOAD_LINK 205    // the download address, shown as a link
#define IDC_RUNTIME_HINT 206     // the hint above the folder row

// The download page of a free, current Java runtime; the link shows and opens it.
#define RUNTIME_DOWNLOAD_ADDRESS "https://adoptium.net/temurin/releases/"
