#include "ui/event_log.h"

#include <windows.h>

#include <vector>

#include "support/owner.h"

namespace {

// A handle from RegisterEventSourceW, which fails with nullptr.
using EventSource = Owner<HANDLE, &DeregisterEventSource>;

// The one event id: the text of the event says everything.
constexpr DWORD kErrorEventId = 1;

std::wstring& configuredSource()
{
    static std::wstring source;
    return source;
}

// "Acme Editor" for C:\Apps\Acme Editor.exe; empty when the path cannot be read.
std::wstring executableBaseName()
{
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD length =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return {};
        }
        if (length < buffer.size()) {
            std::wstring path(buffer.data(), length);
            std::wstring name = path.substr(path.find_last_of(L"\\/") + 1);
            size_t dot = name.rfind(L'.');
            return dot == std::wstring::npos ? name : name.substr(0, dot);
        }
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace

void setEventLogSource(std::wstring_view productName)
{
    configuredSource() = productName;
}

bool writeErrorEvent(const std::wstring& text) noexcept
{
    std::wstring source =
        configuredSource().empty() ? executableBaseName() : configuredSource();
    EventSource eventSource(RegisterEventSourceW(nullptr, source.c_str()));
    if (!eventSource) {
        return false;
    }
    const wchar_t* strings[] = {text.c_str()};
    return ReportEventW(eventSource.get(), EVENTLOG_ERROR_TYPE, 0, kErrorEventId, nullptr, 1, 0,
                        strings, nullptr) != FALSE;
}
