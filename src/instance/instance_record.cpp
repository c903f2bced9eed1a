#include "instance/instance_record.h"

#include <algorithm>

namespace {

constexpr std::size_t kArgumentTextOffset = offsetof(InstanceRecord, argumentText);
// The units a reader looks at; the one at byte 2090 is only ever peeked at.
constexpr std::size_t kReadableUnits = (kUnpackEndOffset - kArgumentTextOffset) / 2;
static_assert(kReadableUnits < kArgumentTextUnits);

}  // namespace

bool argumentsFitRecord(const std::vector<std::wstring>& arguments)
{
    // The closing zero of the list; each argument adds its units and a zero.
    std::size_t bytes = 2;
    for (const std::wstring& argument : arguments) {
        if (argument.size() > kPackedArgumentBytes / 2) {
            return false;
        }
        bytes += 2 * argument.size() + 2;
        if (bytes > kPackedArgumentBytes) {
            return false;
        }
    }
    return true;
}

bool packArguments(const std::vector<std::wstring>& arguments, InstanceRecord& record)
{
    if (!argumentsFitRecord(arguments)) {
        return false;
    }
    std::uint16_t* text = record.argumentText;
    std::fill(text, text + kPackedArgumentBytes / 2, std::uint16_t{0});
    std::size_t position = 0;
    for (const std::wstring& argument : arguments) {
        for (wchar_t unit : argument) {
            text[position++] = static_cast<std::uint16_t>(unit);
        }
        ++position;  // the zero already there ends the argument
    }
    return true;
}

std::vector<std::wstring> unpackArguments(const InstanceRecord& record)
{
    const std::uint16_t* text = record.argumentText;
    std::vector<std::wstring> arguments;
    std::wstring current;
    for (std::size_t position = 0; position < kReadableUnits; ++position) {
        std::uint16_t unit = text[position];
        if (unit != 0) {
            current += static_cast<wchar_t>(unit);
            continue;
        }
        arguments.push_back(std::move(current));
        current.clear();
        if (text[position + 1] == 0) {
            break;
        }
    }
    return arguments;
}
