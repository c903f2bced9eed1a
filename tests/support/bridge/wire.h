// What the bridge runtime and its Java agent say to each other: numbers in
// big-endian order, as Java's DataInput reads them, and byte strings led by
// their length.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace bridge {

// The requests the agent performs; its Session numbers them the same.
enum class Request : std::uint8_t {
    findClass = 1,
    bootFindClass = 2,
    getObjectClass = 3,
    getMethod = 4,
    getField = 5,
    call = 6,
    getFieldValue = 7,
    setFieldValue = 8,
    newStringUtf = 9,
    newString = 10,
    stringChars = 11,
    stringUtf = 12,
    deleteReference = 13,
    newReference = 14,
    isSame = 15,
    isInstance = 16,
    exceptionOccurred = 17,
    exceptionClear = 18,
    exceptionDescribe = 19,
    throwObject = 20,
    throwNew = 21,
    arrayLength = 22,
    newObjectArray = 23,
    getObjectElement = 24,
    setObjectElement = 25,
    newPrimitiveArray = 26,
    getPrimitiveRegion = 27,
    setPrimitiveRegion = 28,
    getSuperclass = 29,
    isAssignable = 30,
    destroyVm = 31,
    detach = 32,
    echo = 33,
};

enum class CallKind : std::uint8_t { onObject = 0, onClass = 2, construct = 3 };

// The control connection's one message: System.exit was called with a status.
inline constexpr std::uint8_t kControlExit = 1;

class Message {
public:
    void byte(std::uint8_t value) { bytes_.push_back(static_cast<char>(value)); }
    void u16(std::uint16_t value);
    void i32(std::int32_t value);
    void i64(std::int64_t value);
    void text(std::string_view value);  // length, then the bytes
    const std::string& bytes() const { return bytes_; }

private:
    std::string bytes_;
};

// A reply's payload; reading past its end gives zeros, which is what a call
// that threw answers with.
class Reply {
public:
    Reply() = default;
    Reply(bool exceptionPending, std::string payload)
        : exceptionPending_(exceptionPending), payload_(std::move(payload))
    {
    }

    bool exceptionPending() const { return exceptionPending_; }
    std::uint8_t byte();
    std::uint16_t u16();
    std::int32_t i32();
    std::int64_t i64();
    std::string text();

private:
    std::uint64_t bigEndian(int size);

    bool exceptionPending_ = false;
    std::string payload_;
    size_t at_ = 0;
};

}  // namespace bridge
