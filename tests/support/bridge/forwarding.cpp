#include "support/bridge/forwarding.h"

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

#include "support/handle_owners.h"

namespace bridge {

namespace {

struct Forwarding {
    Socket source;
    DWORD standardHandle = 0;
    // Held from receiving a piece until it is written out (and recorded).
    std::mutex moving;
    std::string recorded;
    bool recording = true;
};

// What the JVM says before it has started is kept, up to this much.
constexpr size_t kRecordedLimit = 4096;

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
        if (forwarding.recording && forwarding.recorded.size() < kRecordedLimit) {
            forwarding.recorded.append(buffer, std::min<size_t>(static_cast<size_t>(received),
                                                                kRecordedLimit - forwarding.recorded.size()));
        }
    }
}

bool drained(Forwarding& forwarding)
{
    std::lock_guard<std::mutex> lock(forwarding.moving);
    u_long waiting = 0;
    return ioctlsocket(forwarding.source.get(), FIONREAD, &waiting) != 0 || waiting == 0;
}

std::vector<Forwarding*> allForwardings()
{
    std::lock_guard<std::mutex> lock(forwardingsGuard);
    return forwardings;
}

}  // namespace

void forwardToStandardHandle(Socket source, DWORD standardHandle)
{
    // Lives as long as the process, as its thread does.
    auto* forwarding = new Forwarding;
    forwarding->source = std::move(source);
    forwarding->standardHandle = standardHandle;
    KernelHandle thread(CreateThread(nullptr, 0, forward, forwarding, 0, nullptr));
    if (!thread) {
        delete forwarding;
        return;
    }
    std::lock_guard<std::mutex> lock(forwardingsGuard);
    forwardings.push_back(forwarding);
}

std::string stopRecording(DWORD standardHandle)
{
    std::string recorded;
    for (Forwarding* forwarding : allForwardings()) {
        std::lock_guard<std::mutex> lock(forwarding->moving);
        if (forwarding->standardHandle == standardHandle) {
            recorded += forwarding->recorded;
        }
        forwarding->recording = false;
        forwarding->recorded.clear();
    }
    return recorded;
}

void drainForwarding()
{
    for (Forwarding* forwarding : allForwardings()) {
        for (int round = 0; round < 400 && !drained(*forwarding); ++round) {
            Sleep(5);
        }
    }
}

}  // namespace bridge
