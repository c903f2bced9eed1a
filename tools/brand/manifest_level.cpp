#include "brand/manifest_level.h"

#include <string>

bool isExecutionLevel(std::string_view level)
{
    return level == "asInvoker" || level == "highestAvailable" || level == "requireAdministrator";
}

Bytes withExecutionLevel(ByteView manifest, std::string_view level)
{
    std::string text(manifest.begin(), manifest.end());
    auto refuse = [] {
        throw RefusedInput("the launcher's manifest has no requestedExecutionLevel level attribute");
    };
    std::size_t element = text.find("<requestedExecutionLevel");
    if (element == std::string::npos) {
        refuse();
    }
    std::size_t elementEnd = text.find('>', element);
    std::size_t attribute = text.find(" level", element);
    if (elementEnd == std::string::npos || attribute == std::string::npos || attribute > elementEnd) {
        refuse();
    }
    std::size_t equals = text.find_first_not_of(" \t\r\n", attribute + 6);
    if (equals == std::string::npos || text[equals] != '=') {
        refuse();
    }
    std::size_t quote = text.find_first_not_of(" \t\r\n", equals + 1);
    if (quote == std::string::npos || (text[quote] != '"' && text[quote] != '\'')) {
        refuse();
    }
    std::size_t closing = text.find(text[quote], quote + 1);
    if (closing == std::string::npos || closing > elementEnd) {
        refuse();
    }
    text.replace(quote + 1, closing - quote - 1, level);
    return Bytes(text.begin(), text.end());
}
