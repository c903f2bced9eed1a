#include "support/bridge/wire.h"

namespace bridge {

void Message::u16(std::uint16_t value)
{
    byte(static_cast<std::uint8_t>(value >> 8));
    byte(static_cast<std::uint8_t>(value));
}

void Message::i32(std::int32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8) {
        byte(static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) >> shift));
    }
}

void Message::i64(std::int64_t value)
{
    for (int shift = 56; shift >= 0; shift -= 8) {
        byte(static_cast<std::uint8_t>(static_cast<std::uint64_t>(value) >> shift));
    }
}

void Message::text(std::string_view value)
{
    i32(static_cast<std::int32_t>(value.size()));
    bytes_.append(value);
}

std::uint64_t Reply::bigEndian(int size)
{
    std::uint64_t value = 0;
    for (int i = 0; i < size; ++i) {
        std::uint8_t next = at_ < payload_.size() ? static_cast<std::uint8_t>(payload_[at_]) : 0;
        ++at_;
        value = (value << 8) | next;
    }
    return value;
}

std::uint8_t Reply::byte() { return static_cast<std::uint8_t>(bigEndian(1)); }
std::uint16_t Reply::u16() { return static_cast<std::uint16_t>(bigEndian(2)); }
std::int32_t Reply::i32() { return static_cast<std::int32_t>(bigEndian(4)); }
std::int64_t Reply::i64() { return static_cast<std::int64_t>(bigEndian(8)); }

std::string Reply::text()
{
    std::int32_t length = i32();
    if (length <= 0 || at_ >= payload_.size()) {
        return {};
    }
    std::string value = payload_.substr(at_, static_cast<size_t>(length));
    at_ += static_cast<size_t>(length);
    return value;
}

}  // namespace bridge
