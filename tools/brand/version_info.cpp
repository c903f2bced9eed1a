#include "brand/version_info.h"

#include <charconv>
#include <vector>

namespace {

constexpr std::uint32_t kFixedSignature = 0xFEEF04BD;
constexpr std::uint32_t kFixedStructureVersion = 0x00010000;
constexpr std::uint32_t kFileFlagsMask = 0x3F;       // VS_FFI_FILEFLAGSMASK
constexpr std::uint32_t kFileOs = 0x00040004;        // VOS_NT_WINDOWS32
constexpr std::uint32_t kFileTypeApplication = 1;    // VFT_APP
constexpr std::uint16_t kBinaryValue = 0;
constexpr std::uint16_t kTextValue = 1;

// One node of the block: length, value length, type, key, then the value and
// the children, each on a 32-bit boundary. The length covers the node up to
// the end of its last child, without padding after it.
struct VersionNode {
    std::u16string key;
    Bytes value;
    std::uint16_t valueLength = 0;  // in code units for text, in bytes for binary
    std::uint16_t type = kBinaryValue;
    std::vector<VersionNode> children;
};

Bytes serialize(const VersionNode& node)
{
    Bytes bytes;
    appendWord(bytes, 0);  // the length, filled in below
    appendWord(bytes, node.valueLength);
    appendWord(bytes, node.type);
    appendUtf16(bytes, node.key);
    appendWord(bytes, 0);
    padTo(bytes, 4);
    bytes.insert(bytes.end(), node.value.begin(), node.value.end());
    for (const VersionNode& child : node.children) {
        padTo(bytes, 4);
        Bytes childBytes = serialize(child);
        bytes.insert(bytes.end(), childBytes.begin(), childBytes.end());
    }
    if (bytes.size() > 0xFFFF) {
        throw RefusedInput("the version information is longer than 65535 bytes");
    }
    writeWordAt(bytes, 0, static_cast<std::uint16_t>(bytes.size()));
    return bytes;
}

VersionNode textNode(const std::u16string& key, const std::u16string& text)
{
    VersionNode node{key, {}, static_cast<std::uint16_t>(text.size() + 1), kTextValue, {}};
    appendUtf16(node.value, text);
    appendWord(node.value, 0);
    return node;
}

std::uint32_t high(const VersionNumber& number) { return (std::uint32_t{number[0]} << 16) | number[1]; }
std::uint32_t low(const VersionNumber& number) { return (std::uint32_t{number[2]} << 16) | number[3]; }

std::u16string hexDigits(std::uint32_t value, int digits)
{
    std::u16string text(static_cast<std::size_t>(digits), u'0');
    for (int index = digits - 1; index >= 0; --index, value >>= 4) {
        text[static_cast<std::size_t>(index)] = u"0123456789ABCDEF"[value & 0xF];
    }
    return text;
}

struct ReadNode {
    std::u16string key;
    ByteView value;
    std::uint16_t valueLength = 0;
    std::uint16_t type = 0;
    std::vector<ReadNode> children;
};

ReadNode parseNode(ByteView bytes, int depth)
{
    if (depth > 4) {
        throw RefusedInput("the version information nests too deeply");
    }
    std::uint16_t length = readWord(bytes, 0, "the version information");
    if (length < 6) {
        throw RefusedInput("the version information has an entry shorter than its header");
    }
    ReadNode node;
    node.valueLength = readWord(bytes, 2, "the version information");
    node.type = readWord(bytes, 4, "the version information");
    ByteView whole = readSpan(bytes, 0, length, "the version information");
    std::uint64_t at = 6;
    for (;;) {
        std::uint16_t unit = readWord(whole, at, "a version information key");
        at += 2;
        if (unit == 0) {
            break;
        }
        node.key += static_cast<char16_t>(unit);
    }
    at = alignUp(at, 4);
    std::uint64_t valueBytes = node.type == kTextValue ? node.valueLength * 2ull : node.valueLength;
    node.value = readSpan(whole, at, valueBytes, "a version information value");
    at = alignUp(at + valueBytes, 4);
    while (at < whole.size()) {
        ReadNode child = parseNode(whole.subspan(at), depth + 1);
        at = alignUp(at + readWord(whole, at, "the version information"), 4);
        node.children.push_back(std::move(child));
    }
    return node;
}

std::u16string textOf(ByteView value)
{
    std::u16string text;
    for (std::size_t index = 0; index + 1 < value.size(); index += 2) {
        char16_t unit = static_cast<char16_t>(value[index] | (value[index + 1] << 8));
        if (unit == 0) {
            break;
        }
        text += unit;
    }
    return text;
}

}  // namespace

std::optional<VersionNumber> parseVersionNumber(std::string_view text)
{
    VersionNumber number{};
    std::size_t part = 0;
    const char* at = text.data();
    const char* end = text.data() + text.size();
    while (true) {
        if (part == number.size() || at == end || *at < '0' || *at > '9') {
            return std::nullopt;
        }
        unsigned value = 0;
        auto [next, error] = std::from_chars(at, end, value);
        if (error != std::errc() || value > 0xFFFF) {
            return std::nullopt;
        }
        number[part++] = static_cast<std::uint16_t>(value);
        at = next;
        if (at == end) {
            return number;
        }
        if (*at++ != '.') {
            return std::nullopt;
        }
    }
}

Bytes buildVersionResource(const VersionInfo& info)
{
    VersionNode root{u"VS_VERSION_INFO", {}, 52, kBinaryValue, {}};
    for (std::uint32_t field : {kFixedSignature, kFixedStructureVersion, high(info.fileVersion),
                                low(info.fileVersion), high(info.productVersion),
                                low(info.productVersion), kFileFlagsMask, 0u, kFileOs,
                                kFileTypeApplication, 0u, 0u, 0u}) {
        appendDword(root.value, field);
    }
    VersionNode table{hexDigits(info.language, 4) + hexDigits(info.codePage, 4), {}, 0, kTextValue, {}};
    for (const auto& [key, text] : info.strings) {
        table.children.push_back(textNode(key, text));
    }
    root.children.push_back({u"StringFileInfo", {}, 0, kTextValue, {table}});
    VersionNode translation{u"Translation", {}, 4, kBinaryValue, {}};
    appendWord(translation.value, info.language);
    appendWord(translation.value, info.codePage);
    root.children.push_back({u"VarFileInfo", {}, 0, kTextValue, {translation}});
    return serialize(root);
}

VersionInfo readVersionResource(ByteView block)
{
    ReadNode root = parseNode(block, 0);
    if (root.key != u"VS_VERSION_INFO" || root.value.size() != 52 ||
        readDword(root.value, 0, "the fixed version information") != kFixedSignature) {
        throw RefusedInput("the version information has no fixed part");
    }
    VersionInfo info;
    auto number = [&](std::uint64_t offset) {
        std::uint32_t most = readDword(root.value, offset, "the fixed version information");
        std::uint32_t least = readDword(root.value, offset + 4, "the fixed version information");
        return VersionNumber{static_cast<std::uint16_t>(most >> 16), static_cast<std::uint16_t>(most),
                             static_cast<std::uint16_t>(least >> 16), static_cast<std::uint16_t>(least)};
    };
    info.fileVersion = number(8);
    info.productVersion = number(16);
    for (const ReadNode& child : root.children) {
        if (child.key == u"StringFileInfo" && !child.children.empty()) {
            for (const ReadNode& value : child.children.front().children) {
                info.strings[value.key] = textOf(value.value);
            }
        }
        if (child.key == u"VarFileInfo" && !child.children.empty() &&
            child.children.front().value.size() >= 4) {
            info.language = readWord(child.children.front().value, 0, "the translation");
            info.codePage = readWord(child.children.front().value, 2, "the translation");
        }
    }
    return info;
}
