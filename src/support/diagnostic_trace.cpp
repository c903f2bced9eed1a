#include "support/diagnostic_trace.h"

#include <windows.h>

#include <atomic>
#include <optional>
#include <string>

#include "support/decimal_text.h"
#include "support/environment_variable.h"
#include "support/folders.h"
#include "support/handle_owners.h"
#include "support/long_path.h"
#include "support/trace_text.h"

namespace {

constexpr wchar_t kTraceVariable[] = L"TARVO_TRACE";

enum class TraceState { unknown, off, on };

// The trace's one destination, set up on the first question and kept for the
// life of the process.
struct TraceSink {
    SRWLOCK lock = SRWLOCK_INIT;
    FileHandle file;
    HANDLE output = nullptr;
    ULONGLONG startedAt = 0;
};

std::atomic<TraceState> traceState{TraceState::unknown};

TraceSink& sink()
{
    static TraceSink theSink;
    return theSink;
}

// The process's creation time in the units of GetSystemTimeAsFileTime; the
// first trace question's own time when the system cannot tell it.
ULONGLONG processStartTime()
{
    FILETIME created{};
    FILETIME exited{};
    FILETIME kernel{};
    FILETIME user{};
    if (GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) {
        return (static_cast<ULONGLONG>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
    }
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    return (static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

ULONGLONG millisecondsSinceStart()
{
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    ULONGLONG current = (static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    ULONGLONG started = sink().startedAt;
    return current > started ? (current - started) / 10000 : 0;
}

bool openSink(const std::wstring& destination)
{
    TraceSink& theSink = sink();
    theSink.startedAt = processStartTime();
    if (destination == L"-") {
        HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
        if (error == nullptr || error == INVALID_HANDLE_VALUE) {
            return false;
        }
        theSink.output = error;
        return true;
    }
    std::optional<std::wstring> systemPath = toSystemPath(destination);
    if (!systemPath) {
        return false;
    }
    // A folder that cannot be created shows when the file cannot be opened.
    static_cast<void>(createParentFolders(destination));
    // Appending writes land at the end as one piece, whoever else appends.
    theSink.file.reset(CreateFileW(systemPath->c_str(), FILE_APPEND_DATA,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!theSink.file) {
        return false;
    }
    theSink.output = theSink.file.get();
    return true;
}

void writeLine(std::wstring_view text)
{
    TraceSink& theSink = sink();
    std::string line = formatTraceLine(millisecondsSinceStart(), GetCurrentThreadId(), text);
    AcquireSRWLockExclusive(&theSink.lock);
    DWORD written = 0;
    // A failed write is dropped: the trace never stops a start.
    static_cast<void>(WriteFile(theSink.output, line.data(), static_cast<DWORD>(line.size()),
                                &written, nullptr));
    ReleaseSRWLockExclusive(&theSink.lock);
}

// The first lines: which launcher and which command line. The launcher adds
// the executable's path once it has read it.
void writeOpening()
{
    writeLine(L"Tarvo " TARVO_VERSION_TEXT L" trace, " TARVO_BITS_TEXT L"-bit build");
    writeLine(std::wstring(L"command line: ") + GetCommandLineW());
}

TraceState decideTraceState() noexcept
{
    std::wstring destination = environmentVariable(kTraceVariable);
    if (destination.empty() || !openSink(destination)) {
        return TraceState::off;
    }
    writeOpening();
    return TraceState::on;
}

}  // namespace

bool traceEnabled() noexcept
{
    TraceState state = traceState.load(std::memory_order_acquire);
    if (state != TraceState::unknown) {
        return state == TraceState::on;
    }
    // The first question is asked on the main thread before any other thread
    // runs; the lock only keeps a late second opener from racing it.
    static SRWLOCK decideLock = SRWLOCK_INIT;
    AcquireSRWLockExclusive(&decideLock);
    state = traceState.load(std::memory_order_acquire);
    if (state == TraceState::unknown) {
        state = decideTraceState();
        traceState.store(state, std::memory_order_release);
    }
    ReleaseSRWLockExclusive(&decideLock);
    return state == TraceState::on;
}

void traceLine(std::initializer_list<std::wstring_view> parts) noexcept
{
    if (!traceEnabled()) {
        return;
    }
    std::wstring text;
    for (std::wstring_view part : parts) {
        text += part;
    }
    writeLine(text);
}

std::wstring traceNumber(long long value)
{
    return decimalText(value);
}
