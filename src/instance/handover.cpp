#include "instance/handover.h"

#include <cstring>
#include <utility>
#include <vector>

#include "vm/java_text.h"
#include "vm/jni_calls.h"

namespace {

constexpr char kSecondaryMainName[] = "secondaryMain";
constexpr char kVoidFormSignature[] = "([Ljava/lang/String;)V";
constexpr char kIntFormSignature[] = "([Ljava/lang/String;)I";

// One later start's request. The handover thread owns it.
struct HandoverRequest {
    DWORD senderThreadId = 0;
    // Read when the message arrived: the sender keeps the record to itself
    // until this copy is made, so these are its arguments.
    std::vector<std::wstring> arguments;
    std::shared_ptr<HandoverContext> context;
};

void postAnswer(const HandoverRequest& request, jint answer)
{
    // Sign-extended, so that the later start reads the int back from the low 32 bits.
    PostThreadMessageW(request.senderThreadId, request.context->messageId,
                       static_cast<WPARAM>(static_cast<INT_PTR>(answer)), 0);
}

// Calls "secondaryMain" on the attached thread and posts the answer: the void
// form is answered before it runs, the int form with what it returns. False
// when nothing could be called or the call left an exception.
bool callSecondaryMain(const HandoverRequest& request, JNIEnv* environment)
{
    jclass mainClass = findClassNamed(request.context->mainClass, environment);
    if (mainClass == nullptr) {
        describePendingException(environment);
        return false;
    }
    bool voidForm = true;
    jmethodID method =
        environment->GetStaticMethodID(mainClass, kSecondaryMainName, kVoidFormSignature);
    // No void form: the NoSuchMethodError is cleared and the int form tried.
    if (environment->ExceptionCheck()) {
        environment->ExceptionClear();
    }
    if (method == nullptr) {
        voidForm = false;
        method = environment->GetStaticMethodID(mainClass, kSecondaryMainName, kIntFormSignature);
        if (method == nullptr) {
            describePendingException(environment);
            return false;
        }
    }
    jobjectArray arguments = newArgumentArray(request.arguments, environment);
    if (arguments == nullptr) {
        describePendingException(environment);
        return false;
    }
    if (voidForm) {
        postAnswer(request, 0);
        environment->CallStaticVoidMethod(mainClass, method, arguments);
    } else {
        postAnswer(request, environment->CallStaticIntMethod(mainClass, method, arguments));
    }
    return !describePendingException(environment);
}

// Routine of a handover thread: 0 when "secondaryMain" ran without leaving an
// exception, 1 otherwise.
DWORD WINAPI handleHandover(void* parameter)
{
    std::unique_ptr<HandoverRequest> request(static_cast<HandoverRequest*>(parameter));
    const HandoverContext& context = *request->context;
    // Wakes when main is about to run, or when the first instance ends
    // without ever getting there (the refusal sets the event too).
    if (WaitForSingleObject(context.readyEvent.get(), INFINITE) != WAIT_OBJECT_0) {
        return 1;
    }
    // A VM that is destroyed must never be attached to: the later start gets
    // its answer at once instead of waiting for this process to end.
    if (context.handoversRefused.load()) {
        postAnswer(*request, kRefusedAnswer);
        return 1;
    }
    JavaVM* javaVm = context.javaVm.load();
    if (javaVm == nullptr) {
        return 1;
    }
    JNIEnv* environment = nullptr;
    if (javaVm->AttachCurrentThread(reinterpret_cast<void**>(&environment), nullptr) != JNI_OK) {
        // Refused meanwhile: the VM ended between the check and the attach.
        if (context.handoversRefused.load()) {
            postAnswer(*request, kRefusedAnswer);
        }
        return 1;
    }
    bool called = callSecondaryMain(*request, environment);
    if (context.detachAfterCall) {
        javaVm->DetachCurrentThread();
    }
    return called ? 0 : 1;
}

void startHandover(const ListenerStart& start, DWORD senderThreadId)
{
    // Any process of the logon may write the record: read a copy of it, with
    // the reading bounded by the record.
    InstanceRecord snapshot;
    std::memcpy(&snapshot, start.record, sizeof snapshot);
    // The record is free again: the sender lets the next start hand over.
    if (start.context->copiedMessageId != 0) {
        PostThreadMessageW(senderThreadId, start.context->copiedMessageId, 0, 0);
    }
    auto request = std::make_unique<HandoverRequest>();
    request->senderThreadId = senderThreadId;
    request->arguments = unpackArguments(snapshot);
    request->context = start.context;
    HANDLE thread = CreateThread(nullptr, 0, handleHandover, request.get(), 0, nullptr);
    if (thread == nullptr) {
        return;
    }
    (void)request.release();  // the thread frees it
    // The handover thread is never waited for.
    KernelHandle notKept(thread);
}

}  // namespace

DWORD WINAPI listenForHandovers(void* parameter)
{
    const ListenerStart& start = *static_cast<const ListenerStart*>(parameter);
    MSG message;
    // The queue must exist before the first instance lets a later start post to it.
    PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    SetEvent(start.queueCreated);
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (message.message == start.context->messageId) {
            startHandover(start, static_cast<DWORD>(message.wParam));
        }
    }
    return 0;
}
