// The one place that shows an error to the user: a modal message box whose
// text comes from the executable's string table; in the console build the
// same text on standard error; without an interactive window station (a
// service) an error event in the Windows event log.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// A message box text: a string-table id or a literal text.
class ErrorText {
public:
    ErrorText(UINT stringId) : stringId_(stringId) {}
    ErrorText(std::wstring_view text) : text_(text) {}
    ErrorText(const wchar_t* text) : text_(text) {}
    ErrorText(const std::wstring& text) : text_(text) {}

    bool isStringId() const { return stringId_ != 0; }
    UINT stringId() const { return stringId_; }
    const std::wstring& text() const { return text_; }

private:
    UINT stringId_ = 0;
    std::wstring text_;
};

class ErrorReporter {
public:
    // Shows the box with the error icon alone and returns MessageBoxW's result
    // (0 when the box could not be made). The console build writes the text
    // (not the caption) to standard error and returns IDOK; so does a process
    // without an interactive window station, to the event log. Without a
    // caption the box carries the system's default caption for errors.
    static int showError(HWND owner, const ErrorText& text,
                         const std::optional<ErrorText>& caption = std::nullopt) noexcept;

    // Formats a text holding one %s with the argument and shows it.
    static int showErrorWithText(HWND owner, std::wstring_view format,
                                 std::wstring_view argument) noexcept;

    // Formats a text holding %s and %d and shows it.
    static int showErrorWithCode(HWND owner, std::wstring_view format, std::wstring_view argument,
                                 std::int32_t code) noexcept;

    // Loads a string of the executable's string table; empty when absent.
    static std::wstring loadText(UINT stringId);
};
