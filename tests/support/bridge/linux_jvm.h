// Starting the machine's Linux JDK for the bridge runtime: the JVM options
// as the launcher gave them (Windows paths turned into Linux ones), the
// agent as the main class, and the loopback handshake that tells the agent's
// port or that the JVM refused to start.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include <jni.h>

#include "support/bridge/connection.h"

namespace bridge {

struct StartedJvm {
    jint result = -1;        // JNI_OK or the code a refusing JVM gives
    std::uint16_t agentPort = 0;
    std::string token;
    Socket control;          // the agent's control connection
};

// The options are the launcher's option strings (ANSI code page); the home is
// the runtime folder above bin\server. Returns once the agent has connected
// or the JVM has ended, or after a limit.
StartedJvm startLinuxJvm(const std::wstring& runtimeHome, const std::vector<std::string>& options,
                         bool ignoreUnrecognized);

// Linux path of a Windows path, through Wine; empty when Wine cannot tell.
std::string unixPathOf(const std::wstring& windowsPath);

}  // namespace bridge
