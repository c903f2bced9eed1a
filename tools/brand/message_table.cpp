#include "brand/message_table.h"

#include <charconv>
#include <optional>

namespace {

constexpr std::uint16_t kStringsPerBlock = 16;

std::uint16_t blockOf(std::uint16_t id) { return static_cast<std::uint16_t>(id / kStringsPerBlock + 1); }

std::string unescape(std::string_view text, std::size_t lineNumber)
{
    std::string result;
    for (std::size_t index = 0; index < text.size(); ++index) {
        if (text[index] != '\\') {
            result += text[index];
            continue;
        }
        char next = index + 1 < text.size() ? text[++index] : '\0';
        switch (next) {
            case 'n': result += '\n'; break;
            case 't': result += '\t'; break;
            case '\\': result += '\\'; break;
            default:
                throw RefusedInput("messages file line " + std::to_string(lineNumber) +
                                   ": unknown escape (only \\n, \\t and \\\\ are known)");
        }
    }
    return result;
}

Messages parseBlock(std::uint16_t block, ByteView bytes)
{
    Messages messages;
    std::uint64_t at = 0;
    for (std::uint16_t index = 0; index < kStringsPerBlock && at < bytes.size(); ++index) {
        std::uint16_t length = readWord(bytes, at, "a string table block");
        ByteView units = readSpan(bytes, at + 2, length * 2ull, "a string table block");
        at += 2 + length * 2ull;
        if (length == 0) {
            continue;
        }
        std::u16string text;
        for (std::size_t unit = 0; unit < units.size(); unit += 2) {
            text += static_cast<char16_t>(units[unit] | (units[unit + 1] << 8));
        }
        messages[static_cast<std::uint16_t>((block - 1) * kStringsPerBlock + index)] = std::move(text);
    }
    return messages;
}

}  // namespace

Messages parseMessagesFile(std::string_view text)
{
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);
    }
    Messages messages;
    std::size_t lineNumber = 0;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++lineNumber;
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        if (line.find_first_not_of(" \t") == std::string_view::npos || line.starts_with('#')) {
            continue;
        }
        std::string where = "messages file line " + std::to_string(lineNumber);
        std::size_t equals = line.find('=');
        unsigned id = 0;
        auto [next, error] = std::from_chars(line.data(), line.data() + line.size(), id);
        if (equals == std::string_view::npos || error != std::errc() ||
            next != line.data() + equals || id > 0xFFFF) {
            throw RefusedInput(where + ": expected \"id=text\"");
        }
        std::string utf8 = unescape(line.substr(equals + 1), lineNumber);
        if (!messages.emplace(static_cast<std::uint16_t>(id), utf16FromUtf8(utf8, where.c_str())).second) {
            throw RefusedInput(where + ": message " + std::to_string(id) + " is given twice");
        }
    }
    return messages;
}

std::string placeholdersOf(std::u16string_view text)
{
    std::string placeholders;
    for (std::size_t index = 0; index < text.size(); ++index) {
        if (text[index] != u'%') {
            continue;
        }
        if (index + 1 < text.size() && text[index + 1] == u'%') {
            ++index;
            continue;
        }
        // Flags, width, precision and length, then the conversion letter.
        std::string conversion = "%";
        while (++index < text.size()) {
            char16_t unit = text[index];
            if (unit > 0x7F) {
                break;
            }
            conversion += static_cast<char>(unit);
            bool isLetter = (unit >= u'a' && unit <= u'z') || (unit >= u'A' && unit <= u'Z');
            if (isLetter && unit != u'l' && unit != u'h' && unit != u'I') {
                break;
            }
        }
        placeholders += conversion;
        placeholders += ' ';
    }
    return placeholders;
}

void checkMessages(const Messages& given, const Messages& launcher)
{
    for (const auto& [id, text] : given) {
        if (id < kFirstMessageId || id > kLastMessageId) {
            throw RefusedInput("message " + std::to_string(id) + " is not one of the launcher's (" +
                               std::to_string(kFirstMessageId) + "-" + std::to_string(kLastMessageId) + ")");
        }
    }
    for (std::uint16_t id = kFirstMessageId; id <= kLastMessageId; ++id) {
        auto found = given.find(id);
        if (found == given.end()) {
            throw RefusedInput("message " + std::to_string(id) + " is missing from the messages file");
        }
        auto original = launcher.find(id);
        if (original == launcher.end()) {
            throw RefusedInput("message " + std::to_string(id) + " is missing from the launcher");
        }
        std::string expected = placeholdersOf(original->second);
        std::string actual = placeholdersOf(found->second);
        if (expected != actual) {
            auto shown = [](const std::string& list) { return list.empty() ? std::string("none ") : list; };
            throw RefusedInput("message " + std::to_string(id) + " has the placeholders " + shown(actual) +
                               "where the launcher's text has " + shown(expected) + "(same order)");
        }
    }
}

Messages readStringTable(const ResourceTree& tree)
{
    Messages messages;
    auto strings = tree.find(ResourceName::number(resource_type::string));
    if (strings == tree.end()) {
        return messages;
    }
    for (const auto& [block, languages] : strings->second) {
        if (block.isNamed() || block.id == 0 || languages.empty()) {
            continue;
        }
        messages.merge(parseBlock(block.id, languages.begin()->second.bytes));
    }
    return messages;
}

std::optional<std::uint16_t> stringTableLanguage(const ResourceTree& tree)
{
    auto strings = tree.find(ResourceName::number(resource_type::string));
    if (strings == tree.end() || strings->second.empty() || strings->second.begin()->second.empty()) {
        return std::nullopt;
    }
    return strings->second.begin()->second.begin()->first;
}

void replaceStringTable(ResourceTree& tree, const Messages& messages, std::uint16_t language)
{
    ResourceNames& blocks = tree[ResourceName::number(resource_type::string)];
    std::map<std::uint16_t, Messages> byBlock;
    for (const auto& [id, text] : messages) {
        byBlock[blockOf(id)][id] = text;
    }
    for (const auto& [block, texts] : byBlock) {
        Bytes bytes;
        for (std::uint16_t index = 0; index < kStringsPerBlock; ++index) {
            auto found = texts.find(static_cast<std::uint16_t>((block - 1) * kStringsPerBlock + index));
            std::u16string_view text = found == texts.end() ? std::u16string_view() : found->second;
            if (text.size() > 0xFFFF) {
                throw RefusedInput("message " + std::to_string(found->first) + " is too long");
            }
            appendWord(bytes, static_cast<std::uint16_t>(text.size()));
            appendUtf16(bytes, text);
        }
        blocks[ResourceName::number(block)] = {{language, {bytes, 0}}};
    }
}
