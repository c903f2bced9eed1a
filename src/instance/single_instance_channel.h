// The channel between the first and the later starts of the same executable.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "config/launcher_settings.h"

class SingleInstanceChannel {
public:
    SingleInstanceChannel() = default;
    ~SingleInstanceChannel();
    SingleInstanceChannel(const SingleInstanceChannel&) = delete;
    SingleInstanceChannel& operator=(const SingleInstanceChannel&) = delete;

    // Decides the role of this process. A later start hands its arguments to
    // the first instance here. False when the arguments cannot be handed over.
    [[nodiscard]] bool setUp(HWND owner, const LauncherSettings& settings,
                             const std::vector<std::wstring>& arguments);

    bool singleInstanceActive() const { return singleInstanceActive_; }
    bool isFirstInstance() const { return isFirstInstance_; }

    // What a later start waits on: the first instance's process and the
    // message that carries its answer.
    DWORD firstProcessId() const { return firstProcessId_; }
    UINT messageId() const { return messageId_; }

    // From now on the first instance serves handovers.
    void signalReady();

    // Stops the listener and releases the shared record and the ready event.
    void closeChannel();

private:
    bool singleInstanceActive_ = false;
    bool isFirstInstance_ = false;
    DWORD firstProcessId_ = 0;
    UINT messageId_ = 0;
};
