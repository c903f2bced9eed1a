#include "instance/single_instance_channel.h"

#include <optional>
#include <utility>

#include "instance/executable_identity.h"
#include "resources/resource_ids.h"
#include "support/diagnostic_trace.h"
#include "ui/error_reporter.h"

namespace {

// Longest wait for the hand-over lock. Its holder keeps it only while it
// decides its role and until its arguments are copied, which takes far less;
// past this a stuck holder no longer keeps the starts apart.
constexpr DWORD kLockLimitMilliseconds = 30000;
// Longest wait for the first instance to copy the arguments. Its listener
// does that as the message arrives, whatever the Java program is doing.
constexpr DWORD kCopyLimitMilliseconds = 10000;

}  // namespace

SingleInstanceChannel::~SingleInstanceChannel()
{
    closeChannel();
}

bool SingleInstanceChannel::setUp(const LauncherSettings& settings,
                                  const std::wstring& executablePath,
                                  const std::vector<std::wstring>& arguments)
{
    singleInstanceActive_ = false;
    isFirstInstance_ = false;
    // A service never shares, whatever "Single Instance" says.
    if (!settings.singleInstance || settings.isService) {
        traceLine({L"single instance: off"});
        return true;
    }
    normalizedPath_ = normalizedExecutablePath(executablePath);
    std::optional<ChannelNames> names = channelNamesFor(normalizedPath_);
    if (!names) {
        traceLine({L"single instance: off, no channel name for this executable"});
        return true;
    }
    if (!security_.build()) {
        traceLine({L"single instance: off, the channel's security cannot be described"});
        return true;
    }
    singleInstanceActive_ = true;

    // One start at a time decides its role and hands over: a first instance
    // is complete before anyone reads its record, and a later start's
    // arguments stay in the record until the first instance has copied them.
    if (!acquireHandoverLock(names->handoverLock)) {
        traceLine(
            {L"single instance: off, the lock ", names->handoverLock, L" belongs to another user"});
        switchOff();
        return true;
    }
    SetLastError(ERROR_SUCCESS);
    HANDLE mapping =
        CreateFileMappingW(INVALID_HANDLE_VALUE, security_.attributes(), PAGE_READWRITE, 0,
                           sizeof(InstanceRecord), names->channel.c_str());
    // Read before anything else can change it: it tells a first instance apart.
    DWORD error = GetLastError();
    mapping_.reset(mapping);
    if (!mapping_ || !mapInstanceRecord(mapping_.get(), record_)) {
        traceLine({L"single instance: off, the channel ", names->channel, L" could not be mapped"});
        switchOff();
        return true;
    }
    isFirstInstance_ = error == ERROR_SUCCESS;
    if (isFirstInstance_) {
        traceLine({L"single instance: first instance, channel ", names->channel});
        becomeFirstInstance(*names, settings);
        releaseHandoverLock();
        return true;
    }
    // A channel made by someone else is no channel to this executable's
    // first instance: this start runs on its own rather than hand over.
    if (!trustFirstInstance()) {
        switchOff();
        return true;
    }
    copiedMessageId_ = RegisterWindowMessageW(names->copiedMessage.c_str());
    if (!argumentsFitRecord(arguments)) {
        traceLine({L"single instance: later start, the arguments do not fit the record"});
        // The next start must not wait while the box is open.
        closeChannel();
        ErrorReporter::showError(nullptr, IDS_ARGUMENTS_TOO_LONG);
        return false;
    }
    bool handedOver = handOver(arguments);
    if (traceEnabled()) {
        traceLine(
            {L"single instance: later start, arguments handed to the first instance, process ",
             traceNumber(firstProcessId_), handedOver ? L"" : L" (hand-over failed)"});
    }
    return handedOver;
}

bool SingleInstanceChannel::acquireHandoverLock(const std::wstring& name)
{
    releaseHandoverLock();
    SetLastError(ERROR_SUCCESS);
    handoverLock_.reset(CreateMutexW(security_.attributes(), FALSE, name.c_str()));
    const DWORD error = GetLastError();
    if (!handoverLock_) {
        // The starts are then not kept apart, but the channel still works.
        return true;
    }
    if (error == ERROR_ALREADY_EXISTS && !security_.ownedByCurrentUser(handoverLock_.get())) {
        handoverLock_.reset();
        return false;
    }
    // The holder lets go once the first instance has copied its arguments or
    // ended. A holder that died leaves the lock abandoned, which makes it ours
    // all the same; one that is stuck is passed by at the limit.
    DWORD waited = WaitForSingleObject(handoverLock_.get(), kLockLimitMilliseconds);
    if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) {
        heldHandoverLock_.reset(handoverLock_.get());
    } else {
        traceLine({L"single instance: the lock ", name, L" was not given back in time"});
    }
    return true;
}

void SingleInstanceChannel::releaseHandoverLock()
{
    // Given back before the handle that names it is closed.
    heldHandoverLock_.reset();
    handoverLock_.reset();
}

void SingleInstanceChannel::becomeFirstInstance(const ChannelNames& names,
                                                const LauncherSettings& settings)
{
    // Not make_shared: built without RTTI, make_shared would pull in the
    // library's type comparison and its lock pool.
    std::shared_ptr<HandoverContext> context(new HandoverContext());
    SetLastError(ERROR_SUCCESS);
    context->readyEvent.reset(
        CreateEventW(security_.attributes(), TRUE, FALSE, names.readyEvent.c_str()));
    const bool eventExisted = GetLastError() == ERROR_ALREADY_EXISTS;
    context->messageId = RegisterWindowMessageW(names.channel.c_str());
    context->copiedMessageId = RegisterWindowMessageW(names.copiedMessage.c_str());
    context->mainClass = settings.mainClass;
    context->detachAfterCall = !(settings.ibmAllowed && settings.ibmFavored);
    // Without the event no handover could ever be served; one that someone
    // else made could be set by them before the VM exists.
    if (!context->readyEvent || context->messageId == 0 ||
        (eventExisted && !security_.ownedByCurrentUser(context->readyEvent.get()))) {
        traceLine(
            {L"single instance: off, the ready event ", names.readyEvent, L" could not be made"});
        switchOff();
        return;
    }
    handoverContext_ = std::move(context);
    messageId_ = handoverContext_->messageId;
    firstProcessId_ = GetCurrentProcessId();
    if (!startListener()) {
        switchOff();
        return;
    }
    InstanceRecord& record = *record_.get();
    record.messageId = messageId_;
    record.firstProcessId = firstProcessId_;
    record.listenerThreadId = listenerThreadId_;
}

bool SingleInstanceChannel::trustFirstInstance()
{
    if (!security_.ownedByCurrentUser(mapping_.get())) {
        traceLine({L"single instance: off, the channel belongs to another user"});
        return false;
    }
    // Read once: the record may change under us.
    firstProcessId_ = record_.get()->firstProcessId;
    if (!processRunsExecutable(firstProcessId_, normalizedPath_)) {
        if (traceEnabled()) {
            traceLine({L"single instance: off, process ", traceNumber(firstProcessId_),
                       L" named by the channel does not run this executable"});
        }
        return false;
    }
    return true;
}

bool SingleInstanceChannel::startListener()
{
    KernelHandle queueCreated(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!queueCreated) {
        return false;
    }
    listenerStart_.record = record_.get();
    listenerStart_.context = handoverContext_;
    listenerStart_.queueCreated = queueCreated.get();
    DWORD threadId = 0;
    listenerThread_.reset(
        CreateThread(nullptr, 0, listenForHandovers, &listenerStart_, 0, &threadId));
    if (!listenerThread_) {
        return false;
    }
    listenerThreadId_ = threadId;
    // A later start posts as soon as the record names the listener: its queue
    // must exist by then, or the post fails.
    HANDLE waited[] = {queueCreated.get(), listenerThread_.get()};
    bool ready = WaitForMultipleObjects(2, waited, FALSE, INFINITE) == WAIT_OBJECT_0;
    listenerStart_.queueCreated = nullptr;
    return ready;
}

void SingleInstanceChannel::stopListener()
{
    if (!listenerThread_) {
        return;
    }
    // A full queue refuses WM_QUIT: post again until the listener has ended.
    do {
        PostThreadMessageW(listenerThreadId_, WM_QUIT, 0, 0);
    } while (WaitForSingleObject(listenerThread_.get(), 100) == WAIT_TIMEOUT);
    listenerThread_.reset();
    listenerThreadId_ = 0;
}

bool SingleInstanceChannel::handOver(const std::vector<std::wstring>& arguments)
{
    InstanceRecord& record = *record_.get();
    // Read once: the record may change under us, and the answer is checked
    // against what was used here.
    DWORD listenerThreadId = record.listenerThreadId;
    messageId_ = record.messageId;
    if (!isRegisteredMessageId(messageId_) || !packArguments(arguments, record)) {
        return false;
    }
    if (!PostThreadMessageW(listenerThreadId, messageId_, GetCurrentThreadId(), 0)) {
        return false;
    }
    if (!waitUntilArgumentsCopied()) {
        traceLine({L"single instance: the first instance did not confirm the copy"});
    }
    // The answer may take as long as the Java program likes: the next start
    // need not wait for it.
    releaseHandoverLock();
    return true;
}

bool SingleInstanceChannel::waitUntilArgumentsCopied()
{
    KernelHandle firstProcess(OpenProcess(SYNCHRONIZE, FALSE, firstProcessId_));
    HANDLE waited = firstProcess.get();
    const ULONGLONG deadline = GetTickCount64() + kCopyLimitMilliseconds;
    for (;;) {
        MSG message;
        if (copiedMessageId_ != 0 &&
            PeekMessageW(&message, nullptr, copiedMessageId_, copiedMessageId_, PM_REMOVE)) {
            return true;
        }
        // The answer says so too; it stays queued for the wait that reads it.
        if (PeekMessageW(&message, nullptr, messageId_, messageId_, PM_NOREMOVE)) {
            return true;
        }
        if (waited != nullptr && WaitForSingleObject(waited, 0) == WAIT_OBJECT_0) {
            return false;
        }
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) {
            return false;
        }
        MsgWaitForMultipleObjects(waited != nullptr ? 1 : 0, &waited, FALSE,
                                  static_cast<DWORD>(deadline - now), QS_POSTMESSAGE);
    }
}

void SingleInstanceChannel::signalReady(JavaVM* javaVm)
{
    if (!handoverContext_) {
        return;
    }
    handoverContext_->javaVm.store(javaVm);
    SetEvent(handoverContext_->readyEvent.get());
}

void SingleInstanceChannel::refuseHandovers()
{
    if (!handoverContext_) {
        return;
    }
    handoverContext_->handoversRefused.store(true);
    // Handover threads still waiting for a VM that never came wake and refuse too.
    SetEvent(handoverContext_->readyEvent.get());
}

void SingleInstanceChannel::switchOff()
{
    closeChannel();
    singleInstanceActive_ = false;
    isFirstInstance_ = false;
}

void SingleInstanceChannel::closeChannel()
{
    // Before the listener is drained: the requests still queued are answered
    // rather than served by a VM that is gone.
    refuseHandovers();
    stopListener();
    // Handover threads still waiting keep the ready event until they end.
    handoverContext_.reset();
    listenerStart_.context.reset();
    listenerStart_.record = nullptr;
    record_.reset();
    mapping_.reset();
    // Only now may the next start go: it must not find this record any more.
    releaseHandoverLock();
}
