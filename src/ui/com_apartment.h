// Enters a single-threaded COM apartment for the shell calls that need one
// (the new-style folder browser, ShellExecuteW) and leaves it again.
#pragma once

#include "ui/system_libraries.h"

class ComApartment {
public:
    explicit ComApartment(const ShellBrowseFunctions& shell) : shell_(shell)
    {
        // S_FALSE (already entered) must be balanced too; a thread in another
        // apartment kind keeps it and leaves nothing to undo.
        entered_ = SUCCEEDED(
            shell_.initializeCom(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
    }
    ~ComApartment()
    {
        if (entered_) {
            shell_.uninitializeCom();
        }
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    const ShellBrowseFunctions& shell_;
    bool entered_ = false;
};
