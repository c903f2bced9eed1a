// The first instance's side of a handover: the listener thread that takes the
// later starts' messages and one thread per request that calls the main
// class's "secondaryMain" and answers.
#pragma once

#include <jni.h>
#include <windows.h>

#include <atomic>
#include <memory>
#include <string>

#include "instance/instance_record.h"
#include "support/handle_owners.h"

// What the handover threads share with the channel. They are never waited
// for and may outlive it, so each one keeps the context, and with it the
// ready event it waits on, alive until it ends.
struct HandoverContext {
    KernelHandle readyEvent;  // set once main is about to run
    // Stored before readyEvent is set; a handover thread reads it only after.
    std::atomic<JavaVM*> javaVm{nullptr};
    std::wstring mainClass;  // slash form
    // False for the IBM runtimes, whose VM thread never detaches either.
    bool detachAfterCall = true;
    UINT messageId = 0;
    // Posted to a later start once its arguments are copied; 0 when the
    // message could not be registered (the later start then waits longer).
    UINT copiedMessageId = 0;
    // Set once the VM is destroyed or about to be: from then on no handover
    // thread attaches, and every request is answered with kRefusedAnswer.
    std::atomic<bool> handoversRefused{false};
};

// The answer to a request that came while the first instance was ending.
inline constexpr int kRefusedAnswer = -1;

// The listener's parameter; its owner outlives the listener thread.
struct ListenerStart {
    const InstanceRecord* record = nullptr;
    std::shared_ptr<HandoverContext> context;
    // Set by the listener once its message queue exists; used only before.
    HANDLE queueCreated = nullptr;
};

// Routine of the listener thread: takes handover messages until WM_QUIT and
// starts a handover thread for each. Thread exit code 0.
DWORD WINAPI listenForHandovers(void* parameter);
