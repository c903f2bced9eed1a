#include "instance/single_instance_channel.h"

#include <optional>
#include <utility>

#include "support/diagnostic_trace.h"

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
    std::optional<ChannelNames> names = channelNamesFor(executablePath);
    if (!names) {
        traceLine({L"single instance: off, no channel name for this executable"});
        return true;
    }
    singleInstanceActive_ = true;

    // One start at a time decides its role and hands over: a first instance
    // is complete before anyone reads its record, and a later start's
    // arguments stay in the record until its own answer has come.
    acquireHandoverLock(names->handoverLock);
    SetLastError(ERROR_SUCCESS);
    HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
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
    bool handedOver = handOver(arguments);
    if (traceEnabled()) {
        traceLine({L"single instance: later start, arguments handed to the first instance, process ",
                   traceNumber(firstProcessId_), handedOver ? L"" : L" (hand-over failed)"});
    }
    return handedOver;
}

void SingleInstanceChannel::acquireHandoverLock(const std::wstring& name)
{
    releaseHandoverLock();
    handoverLock_.reset(CreateMutexW(nullptr, FALSE, name.c_str()));
    if (!handoverLock_) {
        // The starts are then not kept apart, but the channel still works.
        return;
    }
    // The holder lets go once the first instance answers it or ends. A holder
    // that died leaves the lock abandoned, which makes it ours all the same.
    DWORD waited = WaitForSingleObject(handoverLock_.get(), INFINITE);
    if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) {
        heldHandoverLock_.reset(handoverLock_.get());
    }
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
    auto context = std::make_shared<HandoverContext>();
    context->readyEvent.reset(CreateEventW(nullptr, TRUE, FALSE, names.readyEvent.c_str()));
    context->messageId = RegisterWindowMessageW(names.channel.c_str());
    context->mainClass = settings.mainClass;
    context->detachAfterCall = !(settings.ibmAllowed && settings.ibmFavored);
    // Without the event no handover could ever be served.
    if (!context->readyEvent || context->messageId == 0) {
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
    firstProcessId_ = record.firstProcessId;
    messageId_ = record.messageId;
    if (!isRegisteredMessageId(messageId_) || !packArguments(arguments, record)) {
        return false;
    }
    return PostThreadMessageW(listenerThreadId, messageId_, GetCurrentThreadId(), 0) != FALSE;
}

void SingleInstanceChannel::signalReady(JavaVM* javaVm)
{
    if (!handoverContext_) {
        return;
    }
    handoverContext_->javaVm.store(javaVm);
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
