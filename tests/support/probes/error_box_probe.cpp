// Shows one message box chosen by its argument and ends with -7 when the box
// was closed with OK (-8 for any other way, -9 for an unknown argument), so
// that the test harness can prove it reads boxes, presses buttons and reads
// signed exit codes.
//   202          text 202 filled with text 208 and error number 3, through ErrorReporter
//   long         a literal text of more than 255 characters, through ErrorReporter
//   warning, information, question
//                a box with that icon, for telling the error icon from the others
#include <windows.h>
// After windows.h, which it needs.
#include <optional>
#include <string>

#include "resources/resource_ids.h"
#include "support/command_line.h"
#include "ui/error_reporter.h"

namespace {

constexpr int kClosedWithOk = -7;
constexpr int kClosedOtherwise = -8;
constexpr int kUnknownArgument = -9;

const wchar_t kLongText[] =
    L"Diese Meldung ist absichtlich lang: sie prüft, dass ein Text von mehr als "
    L"zweihundertfünfundfünfzig Zeichen ganz im Meldungsfenster ankommt und nicht an "
    L"einer festen Puffergrenze abgeschnitten wird. Dazu braucht es noch ein paar Worte "
    L"mehr, damit die Grenze sicher überschritten ist. Ende der Meldung.";
static_assert(sizeof kLongText / sizeof kLongText[0] > 256);

std::wstring firstArgument()
{
    std::optional<std::vector<std::wstring>> arguments =
        harness::splitCommandLine(GetCommandLineW());
    return arguments && arguments->size() > 1 ? (*arguments)[1] : std::wstring();
}

std::optional<int> showBox(const std::wstring& mode)
{
    if (mode == L"202") {
        return ErrorReporter::showErrorWithCode(nullptr, ErrorReporter::loadText(IDS_WINDOWS_ERROR),
                                                ErrorReporter::loadText(IDS_MODULE_PATH_NOT_FOUND),
                                                3);
    }
    if (mode == L"long") {
        return ErrorReporter::showError(nullptr, kLongText);
    }
    if (mode == L"warning") {
        return MessageBoxW(nullptr, L"Warnung", nullptr, MB_ICONWARNING);
    }
    if (mode == L"information") {
        return MessageBoxW(nullptr, L"Information", nullptr, MB_ICONINFORMATION);
    }
    if (mode == L"question") {
        return MessageBoxW(nullptr, L"Frage", nullptr, MB_ICONQUESTION);
    }
    return std::nullopt;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    std::optional<int> result = showBox(firstArgument());
    if (!result) {
        return kUnknownArgument;
    }
    return *result == IDOK ? kClosedWithOk : kClosedOtherwise;
}
