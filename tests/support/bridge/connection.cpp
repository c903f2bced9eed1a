#include "support/bridge/connection.h"

#include <ws2tcpip.h>

#include <atomic>

namespace bridge {

namespace {

std::atomic<bool> exitInProgress{false};

}  // namespace

void sayOnStandardError(std::string_view what)
{
    std::string line = "bridge runtime: " + std::string(what) + "\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), line.data(), static_cast<DWORD>(line.size()), &written,
              nullptr);
}

void failLoudly(std::string_view what, UINT exitCode)
{
    sayOnStandardError(what);
    ExitProcess(exitCode);
}

void markExitInProgress() { exitInProgress = true; }

void waitForExitInProgress()
{
    // The control thread ends the process once it has read the exit; a
    // connection can close just before that.
    for (int i = 0; i < 100; ++i) {
        if (exitInProgress) {
            Sleep(INFINITE);
        }
        Sleep(50);
    }
}

bool sendAll(SOCKET socket, std::string_view bytes)
{
    while (!bytes.empty()) {
        int sent = send(socket, bytes.data(), static_cast<int>(bytes.size()), 0);
        if (sent <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(sent));
    }
    return true;
}

bool receiveAll(SOCKET socket, char* buffer, size_t size)
{
    while (size > 0) {
        int received = recv(socket, buffer, static_cast<int>(size), 0);
        if (received <= 0) {
            return false;
        }
        buffer += received;
        size -= static_cast<size_t>(received);
    }
    return true;
}

std::optional<Connection> Connection::open(std::uint16_t port, std::string_view token,
                                           std::string_view threadName, bool daemon)
{
    Socket socket(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    if (!socket) {
        return std::nullopt;
    }
    BOOL noDelay = TRUE;
    setsockopt(socket.get(), IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay),
               sizeof noDelay);
    sockaddr_in agent{};
    agent.sin_family = AF_INET;
    agent.sin_port = htons(port);
    agent.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(socket.get(), reinterpret_cast<const sockaddr*>(&agent), sizeof agent) != 0) {
        return std::nullopt;
    }
    Message greeting;
    greeting.text(token);
    greeting.text(threadName);
    greeting.byte(daemon ? 1 : 0);
    char accepted = 0;
    if (!sendAll(socket.get(), greeting.bytes()) || !receiveAll(socket.get(), &accepted, 1)) {
        return std::nullopt;
    }
    return Connection(std::move(socket));
}

void Connection::sendRequest(Request request, const Message& payload)
{
    Message frame;
    frame.byte(static_cast<std::uint8_t>(request));
    frame.text(payload.bytes());
    if (!sendAll(socket_.get(), frame.bytes())) {
        waitForExitInProgress();
        failLoudly("lost the connection to the Linux JVM", kConnectionLostExitCode);
    }
}

void Connection::post(Request request, const Message& payload) { sendRequest(request, payload); }

// Reads until the buffer holds at least the size: a whole reply usually
// comes in one piece, and each receive is a trip through Wine's server.
bool Connection::fill(size_t size)
{
    while (received_.size() < size) {
        char chunk[16384];
        int count = recv(socket_.get(), chunk, sizeof chunk, 0);
        if (count <= 0) {
            return false;
        }
        received_.append(chunk, static_cast<size_t>(count));
    }
    return true;
}

Reply Connection::call(Request request, const Message& payload)
{
    sendRequest(request, payload);
    constexpr size_t kHeaderSize = 5;  // exception pending, then the payload's length
    if (fill(kHeaderSize)) {
        Reply lengthReader(false, received_.substr(1, 4));
        std::int32_t length = lengthReader.i32();
        size_t end = kHeaderSize + static_cast<size_t>(length > 0 ? length : 0);
        if (fill(end)) {
            Reply reply(received_[0] != 0, received_.substr(kHeaderSize, end - kHeaderSize));
            received_.erase(0, end);
            return reply;
        }
    }
    waitForExitInProgress();
    failLoudly("lost the connection to the Linux JVM", kConnectionLostExitCode);
}

}  // namespace bridge
