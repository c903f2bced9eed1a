// Little-endian reading and writing over byte buffers, every read checked
// against the buffer's end: the files the tool reads are untrusted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;
using ByteView = std::span<const std::uint8_t>;

// An input the tool will not work on; what() is the one line shown to the user.
class RefusedInput : public std::runtime_error {
public:
    explicit RefusedInput(const std::string& reason) : std::runtime_error(reason) {}
};

// True when [offset, offset + length) lies within size, without overflow.
constexpr bool fitsWithin(std::uint64_t offset, std::uint64_t length, std::uint64_t size)
{
    return offset <= size && length <= size - offset;
}

// The value at offset; the reason names what was being read when it does not fit.
std::uint8_t readByte(ByteView bytes, std::uint64_t offset, const char* what);
std::uint16_t readWord(ByteView bytes, std::uint64_t offset, const char* what);
std::uint32_t readDword(ByteView bytes, std::uint64_t offset, const char* what);
ByteView readSpan(ByteView bytes, std::uint64_t offset, std::uint64_t length, const char* what);

void writeWordAt(Bytes& bytes, std::size_t offset, std::uint16_t value);
void writeDwordAt(Bytes& bytes, std::size_t offset, std::uint32_t value);
void appendWord(Bytes& bytes, std::uint16_t value);
void appendDword(Bytes& bytes, std::uint32_t value);
void appendUtf16(Bytes& bytes, std::u16string_view text);
// Zero bytes up to the next multiple of alignment.
void padTo(Bytes& bytes, std::size_t alignment);

constexpr std::uint64_t alignUp(std::uint64_t value, std::uint64_t alignment)
{
    return alignment == 0 ? value : (value + alignment - 1) / alignment * alignment;
}

// UTF-8 as UTF-16 and back. Malformed UTF-8 is refused, naming what held it.
std::u16string utf16FromUtf8(std::string_view text, const char* what);
std::string utf8FromUtf16(std::u16string_view text);
