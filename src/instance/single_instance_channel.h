// The channel between the first and the later starts of the same executable.
#pragma once

#include <jni.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "config/launcher_settings.h"
#include "instance/channel_names.h"
#include "instance/channel_security.h"
#include "instance/handover.h"
#include "instance/mapped_instance_record.h"
#include "support/handle_owners.h"

class SingleInstanceChannel {
public:
    SingleInstanceChannel() = default;
    ~SingleInstanceChannel();
    SingleInstanceChannel(const SingleInstanceChannel&) = delete;
    SingleInstanceChannel& operator=(const SingleInstanceChannel&) = delete;

    // Decides the role of this process; the starts of one executable path
    // share a channel. A later start hands its arguments to the first
    // instance here. False when the arguments cannot be handed over (arguments
    // too long for the record are said so in a box first). A channel that
    // another user made, or whose first instance runs another executable,
    // leaves this start on its own: the mode is off and true comes back.
    [[nodiscard]] bool setUp(const LauncherSettings& settings, const std::wstring& executablePath,
                             const std::vector<std::wstring>& arguments);

    bool singleInstanceActive() const { return singleInstanceActive_; }
    bool isFirstInstance() const { return isFirstInstance_; }

    // What a later start waits on: the first instance's process and the
    // message that carries its answer, as the record held them at the handover.
    DWORD firstProcessId() const { return firstProcessId_; }
    UINT messageId() const { return messageId_; }

    // From now on the first instance serves handovers in the VM given. Called
    // on the VM thread just before main runs; nothing happens without the mode.
    void signalReady(JavaVM* javaVm);

    // From now on no handover thread attaches to the VM: each request is
    // answered with kRefusedAnswer. For the moment the VM is destroyed.
    void refuseHandovers();

    // Refuses further handovers, stops the listener and releases the shared
    // record, the ready event and, in a later start, the other starts' turn
    // to hand over.
    void closeChannel();

private:
    // False when the lock exists and another user made it.
    [[nodiscard]] bool acquireHandoverLock(const std::wstring& name);
    void releaseHandoverLock();
    void becomeFirstInstance(const ChannelNames& names, const LauncherSettings& settings);
    [[nodiscard]] bool startListener();
    void stopListener();
    [[nodiscard]] bool trustFirstInstance();
    [[nodiscard]] bool handOver(const std::vector<std::wstring>& arguments);
    // True once the first instance confirmed the copy (or answered); false
    // when it ended or did not confirm within the limit.
    [[nodiscard]] bool waitUntilArgumentsCopied();
    void switchOff();

    bool singleInstanceActive_ = false;
    bool isFirstInstance_ = false;
    DWORD firstProcessId_ = 0;
    UINT messageId_ = 0;
    UINT copiedMessageId_ = 0;
    std::wstring normalizedPath_;
    ChannelSecurity security_;
    KernelHandle mapping_;
    MappedInstanceRecord record_;
    // Held from the role decision on: by a first instance until its record is
    // complete, by a later start until the first instance copied its arguments.
    KernelHandle handoverLock_;
    HeldMutex heldHandoverLock_;  // after handoverLock_: given back before it is closed
    KernelHandle listenerThread_;
    DWORD listenerThreadId_ = 0;
    ListenerStart listenerStart_;
    std::shared_ptr<HandoverContext> handoverContext_;
};
