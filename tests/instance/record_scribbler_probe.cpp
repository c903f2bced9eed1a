// Plays a hostile process of the same logon: opens a first instance's shared
// record, overwrites it with random bytes and posts the handover message as a
// later start would, then waits for an answer.
//   record_scribbler_probe <channel name> <arguments|record> <seed>
// "arguments" scribbles over the argument area only, "record" over the whole
// record, header included (after reading it). Exit code: the answer's value;
// 200 when the record cannot be opened, 201 when the post fails, 202 when no
// answer comes within ten seconds, 203 for wrong arguments.
#include <windows.h>

#include <cstring>
#include <cwchar>
#include <random>
#include <string>

#include "instance/instance_record.h"
#include "support/handle_owners.h"
#include "support/polling.h"

namespace {

void scribble(unsigned char* bytes, std::size_t size, unsigned seed)
{
    std::mt19937 random(seed);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<unsigned char>(random());
    }
}

int waitForAnswer(UINT messageId)
{
    int answer = 202;
    auto answered = [&] {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == messageId) {
                answer = static_cast<int>(static_cast<DWORD>(message.wParam));
                return true;
            }
        }
        return false;
    };
    static_cast<void>(harness::pollUntil(answered, 10000, 20));
    return answer;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    if (__argc != 4) {
        return 203;
    }
    const std::wstring channel = __wargv[1];
    const bool wholeRecord = std::wcscmp(__wargv[2], L"record") == 0;
    const auto seed = static_cast<unsigned>(std::wcstoul(__wargv[3], nullptr, 10));

    // The answer is a thread message: the queue must exist before the post.
    MSG message;
    PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);

    KernelHandle mapping(OpenFileMappingW(FILE_MAP_WRITE, FALSE, channel.c_str()));
    if (!mapping) {
        return 200;
    }
    void* view = MapViewOfFile(mapping.get(), FILE_MAP_WRITE, 0, 0, sizeof(InstanceRecord));
    if (view == nullptr) {
        return 200;
    }
    InstanceRecord header;
    std::memcpy(&header, view, sizeof header);
    auto* bytes = static_cast<unsigned char*>(view);
    if (wholeRecord) {
        scribble(bytes, sizeof(InstanceRecord), seed);
    } else {
        scribble(bytes + offsetof(InstanceRecord, argumentText), sizeof header.argumentText, seed);
    }
    UnmapViewOfFile(view);

    if (!PostThreadMessageW(header.listenerThreadId, header.messageId, GetCurrentThreadId(), 0)) {
        return 201;
    }
    return waitForAnswer(header.messageId);
}
