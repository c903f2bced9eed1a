// What every fuzz harness shares: reading the fuzzer's bytes as the launcher
// would see them on Windows, and stopping at the first broken rule.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A broken rule is a finding: stop at once, so libFuzzer keeps the input.
#define FUZZ_CHECK(condition) \
    do {                      \
        if (!(condition)) {   \
            __builtin_trap(); \
        }                     \
    } while (false)

// The fuzzer's bytes, taken from the front: control values first, then text.
// wchar_t is 32 bits here and 16 on Windows, so text is read two bytes to a
// code unit and every unit stays within 0 to 0xFFFF, lone surrogates included.
class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool empty() const { return position_ >= size_; }

    // The next byte, or 0 once the input is used up.
    std::uint8_t byte() { return empty() ? 0 : data_[position_++]; }

    // The next little-endian number of the given width in bytes.
    std::uint64_t number(int bytes)
    {
        std::uint64_t value = 0;
        for (int index = 0; index < bytes; ++index) {
            value |= static_cast<std::uint64_t>(byte()) << (8 * index);
        }
        return value;
    }

    wchar_t unit() { return static_cast<wchar_t>(number(2)); }

    // Every unit left; an odd last byte is not a unit.
    std::wstring rest()
    {
        std::wstring text;
        while (position_ + 1 < size_) {
            text += unit();
        }
        position_ = size_;
        return text;
    }

    // The bytes left, as they are.
    std::string_view restBytes()
    {
        std::string_view bytes(reinterpret_cast<const char*>(data_) + position_,
                               empty() ? 0 : size_ - position_);
        position_ = size_;
        return bytes;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
};

// Every unit of a text as Windows holds it: 16 bits.
inline bool holdsUtf16Units(std::wstring_view text)
{
    for (wchar_t unit : text) {
        if (static_cast<std::uint32_t>(unit) > 0xFFFF) {
            return false;
        }
    }
    return true;
}

// The pieces of a text between separator units, for harnesses that need
// several texts from one input; a text without the separator is one piece.
inline std::vector<std::wstring> piecesBetween(std::wstring_view text, wchar_t separator)
{
    std::vector<std::wstring> pieces(1);
    for (wchar_t unit : text) {
        if (unit == separator) {
            pieces.emplace_back();
        } else {
            pieces.back() += unit;
        }
    }
    return pieces;
}

// Whether the needle lies in the text from position on; moves position behind it.
inline bool findFrom(std::wstring_view text, std::wstring_view needle, std::size_t& position)
{
    std::size_t found = text.find(needle, position);
    if (found == std::wstring_view::npos) {
        return false;
    }
    position = found + needle.size();
    return true;
}
