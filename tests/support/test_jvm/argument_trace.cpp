#include "support/test_jvm/argument_trace.h"

#include <charconv>

namespace test_jvm {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

std::string hexUnits(std::u16string_view text)
{
    std::string hex;
    for (char16_t unit : text) {
        if (!hex.empty()) {
            hex += ' ';
        }
        for (int shift = 12; shift >= 0; shift -= 4) {
            hex += kHexDigits[(unit >> shift) & 0xF];
        }
    }
    return hex;
}

std::optional<std::u16string> unitsFromHex(std::string_view hex)
{
    std::u16string text;
    size_t i = 0;
    while (i < hex.size()) {
        if (!text.empty()) {
            if (hex[i] != ' ') {
                return std::nullopt;
            }
            ++i;
        }
        if (i + 4 > hex.size()) {
            return std::nullopt;
        }
        unsigned value = 0;
        auto [end, error] = std::from_chars(hex.data() + i, hex.data() + i + 4, value, 16);
        if (error != std::errc() || end != hex.data() + i + 4) {
            return std::nullopt;
        }
        text += static_cast<char16_t>(value);
        i += 4;
    }
    return text;
}

std::optional<size_t> decimalFrom(std::string_view text)
{
    size_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// One element line "<prefix> argument <index> <units>" for the index expected.
std::optional<std::u16string> elementFrom(std::string_view line, const std::string& elementPrefix,
                                          size_t index)
{
    std::string head = elementPrefix + std::to_string(index);
    if (line.substr(0, head.size()) != head) {
        return std::nullopt;
    }
    std::string_view rest = line.substr(head.size());
    if (rest.empty()) {
        return std::u16string();  // an empty element whose space went missing
    }
    if (rest[0] != ' ') {
        return std::nullopt;
    }
    return unitsFromHex(rest.substr(1));
}

}  // namespace

std::string formatArgumentTrace(std::string_view prefix,
                                const std::optional<std::vector<TracedArgument>>& arguments)
{
    std::string block(prefix);
    if (!arguments) {
        return block + " arguments null";
    }
    block += " arguments " + std::to_string(arguments->size());
    for (size_t index = 0; index < arguments->size(); ++index) {
        const TracedArgument& element = (*arguments)[index];
        block += '\n';
        block += std::string(prefix) + " argument " + std::to_string(index) + ' ';
        block += element ? hexUnits(*element) : std::string("null");
    }
    return block;
}

std::vector<std::vector<std::u16string>> readArgumentTraces(const std::vector<std::string>& lines,
                                                            std::string_view prefix)
{
    std::vector<std::vector<std::u16string>> arrays;
    const std::string header = std::string(prefix) + " arguments ";
    const std::string elementPrefix = std::string(prefix) + " argument ";
    for (size_t at = 0; at < lines.size(); ++at) {
        if (lines[at].compare(0, header.size(), header) != 0) {
            continue;
        }
        std::optional<size_t> count =
            decimalFrom(std::string_view(lines[at]).substr(header.size()));
        // The element lines follow the header directly.
        if (!count || at + *count >= lines.size()) {
            continue;
        }
        std::vector<std::u16string> array;
        for (size_t index = 0; index < *count; ++index) {
            std::optional<std::u16string> element =
                elementFrom(lines[at + 1 + index], elementPrefix, index);
            if (!element) {
                break;
            }
            array.push_back(std::move(*element));
        }
        if (array.size() == *count) {
            arrays.push_back(std::move(array));
            at += *count;
        }
    }
    return arrays;
}

}  // namespace test_jvm
