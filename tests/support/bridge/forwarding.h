// The Linux JVM's standard output and error reach this process over loopback
// connections (Wine gives a Linux child only one of the standard handles),
// and from there this process's own standard handles.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <string>

#include "support/bridge/connection.h"

namespace bridge {

// Copies what arrives on the connection to the standard handle, on a thread
// of its own, until the connection closes.
void forwardToStandardHandle(Socket source, DWORD standardHandle);

// What arrived for the standard handle since the start, and no more
// recording from now on: a JVM that refuses its options says why there.
std::string stopRecording(DWORD standardHandle);

// Returns once everything that has arrived so far is written out, or after
// a limit: what the JVM wrote before it said it is done is then in place.
void drainForwarding();

}  // namespace bridge
