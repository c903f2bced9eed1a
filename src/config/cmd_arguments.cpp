#include "config/cmd_arguments.h"

#include "config/environment_text.h"
#include "config/extra_arguments.h"

void appendCmdArguments(std::wstring cmd, std::vector<std::wstring>& arguments)
{
    if (cmd.empty()) {
        return;
    }
    // A failed expansion leaves the text as written, and it is used so.
    static_cast<void>(expandEnvironmentInPlace(cmd));
    appendExtraArguments(cmd, arguments);
}
