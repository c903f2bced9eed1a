// tarvo-brand: writes a product's icon, version information, messages and
// embedded settings into a copy of the launcher.
#include <iostream>
#include <string>
#include <vector>

#include "brand/brand_command.h"
#include "brand/bytes.h"

#ifdef _WIN32
// The arguments arrive as UTF-16 and go on as UTF-8, as on every other system.
int wmain(int argumentCount, wchar_t** argumentValues)
{
    std::vector<std::string> arguments;
    for (int index = 1; index < argumentCount; ++index) {
        std::wstring_view argument(argumentValues[index]);
        arguments.push_back(utf8FromUtf16(std::u16string(argument.begin(), argument.end())));
    }
    return runBrand(arguments, std::cout, std::cerr);
}
#else
int main(int argumentCount, char** argumentValues)
{
    return runBrand(std::vector<std::string>(argumentValues + 1, argumentValues + argumentCount), std::cout,
                    std::cerr);
}
#endif
