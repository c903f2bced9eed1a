// Whether anybody can see a window of this process. A service runs in
// session 0 or on a station of its own: a box there waits for a click that
// never comes, and the start hangs unseen.
#pragma once

// True when the process's window station is the interactive one
// (GetUserObjectInformationW, UOI_FLAGS, WSF_VISIBLE). A station whose flags
// cannot be read counts as interactive: a message is not lost on a guess.
bool hasInteractiveWindowStation() noexcept;
