// Who may use the channel's named objects: made for the current user alone,
// and an object that already exists is trusted only when that user owns it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "support/owner.h"

// Memory the security functions hand out with LocalAlloc.
using LocalMemory = Owner<HLOCAL, &LocalFree>;

class ChannelSecurity {
public:
    // The user's SID and the descriptor the objects are made with: owner the
    // user, full access for the user alone, and a medium mandatory label that
    // refuses writers of low integrity. Without the label when the system
    // cannot form one. False when the user cannot be told.
    [[nodiscard]] bool build();

    // What CreateFileMappingW, CreateMutexW and CreateEventW take; null
    // before build succeeded. Used only when the object is new.
    SECURITY_ATTRIBUTES* attributes();

    // True when the object's owner is this process's user: the user who made
    // it with this descriptor, not another program that made the name first.
    [[nodiscard]] bool ownedByCurrentUser(HANDLE object) const;

private:
    std::vector<std::uint8_t> userSid_;
    LocalMemory descriptor_;
    SECURITY_ATTRIBUTES attributes_{};
};
