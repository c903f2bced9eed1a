#include "config/cmd_arguments.h"

#include "config/environment_text.h"
#include "config/extra_arguments.h"

void appendCmdArguments(const SettingsStore& settings, std::vector<std::wstring>& arguments)
{
    std::wstring text = settings.readSetting(L"Application", L"Cmd");
    if (text.empty()) {
        return;
    }
    // A failed expansion leaves the text as written, and it is used so.
    static_cast<void>(expandEnvironmentInPlace(text));
    appendExtraArguments(text, arguments);
}
