#include "ui/error_reporter.h"

#include <vector>

#include "support/console_program.h"
#include "support/diagnostic_trace.h"
#include "ui/event_log.h"
#include "ui/message_format.h"
#include "ui/standard_error.h"
#include "ui/window_station.h"

std::wstring ErrorReporter::loadText(UINT stringId)
{
    HINSTANCE module = GetModuleHandleW(nullptr);
    // The table holds texts longer than any fixed buffer would guess: grow
    // until the loaded text no longer fills the buffer.
    std::vector<wchar_t> buffer(256);
    int length = 0;
    for (;;) {
        length = LoadStringW(module, stringId, buffer.data(), static_cast<int>(buffer.size()));
        if (length < static_cast<int>(buffer.size()) - 1) {
            break;
        }
        buffer.assign(buffer.size() * 2, L'\0');
    }
    return std::wstring(buffer.data(), length > 0 ? length : 0);
}

int ErrorReporter::showError(HWND owner, const ErrorText& text,
                             const std::optional<ErrorText>& caption) noexcept
{
    std::wstring body = text.isStringId() ? loadText(text.stringId()) : text.text();
    std::wstring title;
    if (caption) {
        title = caption->isStringId() ? loadText(caption->stringId()) : caption->text();
    }
    if (text.isStringId()) {
        traceLine({L"message box, string ", traceNumber(text.stringId()), L": ", body});
    } else {
        traceLine({L"message box: ", body});
    }
    // The console build has no one to click a box: the text goes to
    // standard error, and the caller goes on as after OK.
    if (runsAsConsoleProgram()) {
        static_cast<void>(writeToStandardError(body));
        return IDOK;
    }
    // Nobody can see a box on a service's station, and nobody would
    // click it: the text goes to the event log, and the caller goes on
    // as after OK.
    if (!hasInteractiveWindowStation()) {
        bool written = writeErrorEvent(body);
        traceLine({written ? L"no interactive window station: written to the event log"
                           : L"no interactive window station: the event log refused it"});
        return IDOK;
    }
    return MessageBoxW(owner, body.c_str(), caption ? title.c_str() : nullptr, MB_ICONERROR);
}

int ErrorReporter::showErrorWithText(HWND owner, std::wstring_view format,
                                     std::wstring_view argument) noexcept
{
    return showError(owner, formatMessage(format, {argument}));
}

int ErrorReporter::showErrorWithCode(HWND owner, std::wstring_view format,
                                     std::wstring_view argument, std::int32_t code) noexcept
{
    return showError(owner, formatMessage(format, {argument, code}));
}
