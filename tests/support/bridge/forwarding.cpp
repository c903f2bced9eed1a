#include "support/bridge/forwarding.h"

#include <mutex>
#include <vector>

namespace bridge {

namespace {

struct Forwarding {
    Socket source;
    DWORD standardHandle = 0;
    // Held from receiving a piece until it is written out.
    std::mutex moving;
};

std::mutex forwardingsGuard;
std::vector<Forwarding*> forwardings;

DWORD WINAPI forward(void* parameter)
{
    auto& forwarding = *static_cast<Forwarding*>(parameter);
    char buffer[16384];
    for (;;) {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(forwarding.source.get(), &readable);
        if (select(0, &readable, nullptr, nullptr, nullptr) <= 0) {
            return 0;
        }
        std::lock_guard<std::mutex> lock(forwarding.moving);
        int received = recv(forwarding.source.get(), buffer, sizeof buffer, 0);
        if (received <= 0) {
            return 0;
        }
        DWORD written = 0;
        WriteFile(GetStdHandle(forwarding.standardHandle), buffer, static_cast<DWORD>(received),
                  &written, nullptr);
    }
}

bool drained(Forwarding& forwarding)
{
    std::lock_guard<std::mutex> lock(forwarding.moving);
    u_long waiting = 0;
    return ioctlsocket(forwarding.source.get(), FIONREAD, &waiting) != 0 || waiting == 0;
}

}  // namespace

void forwardToStandardHandle(Socket source, DWORD standardHandle)
{
    // Lives as long as the process, as its thread does.
    auto* forwarding = new Forwarding{std::move(source), standardHandle};
    HANDLE thread = CreateThread(nullptr, 0, forward, forwarding, 0, nullptr);
    if (thread == nullptr) {
        delete forwarding;
        return;
    }
    CloseHandle(thread);
    std::lock_guard<std::mutex> lock(forwardingsGuard);
    forwardings.push_back(forwarding);
}

void drainForwarding()
{
    std::vector<Forwarding*> all;
    {
        std::lock_guard<std::mutex> lock(forwardingsGuard);
        all = forwardings;
    }
    for (Forwarding* forwarding : all) {
        for (int round = 0; round < 400 && !drained(*forwarding); ++round) {
            Sleep(5);
        }
    }
}

}  // namespace bridge
