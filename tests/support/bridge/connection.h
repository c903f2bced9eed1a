// A loopback TCP connection to the bridge's Java agent: one per attached
// Windows thread, and the control connection that lives as long as the
// process. A lost connection is fatal unless the process is already exiting.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "support/bridge/wire.h"
#include "support/owner.h"

namespace bridge {

using Socket = Owner<SOCKET, &closesocket, INVALID_SOCKET>;

// Exit codes of a bridge that cannot go on; distinct from any a test expects.
inline constexpr UINT kConnectionLostExitCode = 96;
inline constexpr UINT kUnimplementedExitCode = 97;

// One line on the process's standard error, unbuffered: "bridge runtime: <what>".
void sayOnStandardError(std::string_view what);
// Says it and ends the process with the code.
[[noreturn]] void failLoudly(std::string_view what, UINT exitCode);

bool sendAll(SOCKET socket, std::string_view bytes);
bool receiveAll(SOCKET socket, char* buffer, size_t size);

class Connection {
public:
    // Connects to the agent and greets it with the token, the thread's name
    // (modified UTF-8) and whether the thread is a daemon.
    [[nodiscard]] static std::optional<Connection> open(std::uint16_t port, std::string_view token,
                                                        std::string_view threadName, bool daemon);

    // Sends the request and waits for its reply.
    Reply call(Request request, const Message& payload = {});
    // Sends a request nobody answers.
    void post(Request request, const Message& payload);

private:
    explicit Connection(Socket socket) : socket_(std::move(socket)) {}
    void sendRequest(Request request, const Message& payload);
    bool fill(size_t size);

    Socket socket_;
    std::string received_;
};

// Set once the Java program has called System.exit: connections that close
// from then on are the JVM going, not a fault.
void waitForExitInProgress();
void markExitInProgress();

}  // namespace bridge
