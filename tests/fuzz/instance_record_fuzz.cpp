// libFuzzer harness for the single-instance record, which any process of the
// user's logon can write: whatever the record holds, reading its arguments
// never looks at byte 2090 or beyond and gives at most what is there; and any
// arguments that fit are packed over whatever the record held and read back.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "instance/instance_record.h"

namespace {

using Arguments = std::vector<std::wstring>;

constexpr std::size_t kReadableUnits =
    (kUnpackEndOffset - offsetof(InstanceRecord, argumentText)) / 2;

// The record filled with the bytes, repeated: a short input without two zeros
// in a row reaches the end of the argument text.
InstanceRecord recordFrom(const std::uint8_t* data, std::size_t size)
{
    InstanceRecord record;
    auto* bytes = reinterpret_cast<std::uint8_t*>(&record);
    for (std::size_t index = 0; index < sizeof record; ++index) {
        bytes[index] = size == 0 ? 0 : data[index % size];
    }
    return record;
}

void checkAnyRecord(const InstanceRecord& record)
{
    Arguments arguments = unpackArguments(record);
    std::size_t units = 0;
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        const std::wstring& argument = arguments[index];
        FUZZ_CHECK(argument.find(L'\0') == std::wstring::npos);
        FUZZ_CHECK(holdsUtf16Units(argument));
        FUZZ_CHECK(index == 0 || !argument.empty());
        units += argument.size() + 1;
    }
    FUZZ_CHECK(units <= kReadableUnits);
    // The bytes from 2090 on change nothing.
    InstanceRecord changed = record;
    auto* bytes = reinterpret_cast<std::uint8_t*>(&changed);
    for (std::size_t index = kUnpackEndOffset; index < sizeof changed; ++index) {
        bytes[index] = static_cast<std::uint8_t>(~bytes[index]);
    }
    FUZZ_CHECK(unpackArguments(changed) == arguments);
}

// What packing and reading give back: no arguments arrive as one empty one,
// and an empty argument after the first ends the list.
Arguments expectedRoundTrip(const Arguments& arguments)
{
    if (arguments.empty()) {
        return {L""};
    }
    Arguments expected = {arguments.front()};
    for (std::size_t index = 1; index < arguments.size() && !arguments[index].empty(); ++index) {
        expected.push_back(arguments[index]);
    }
    return expected;
}

// Arguments from the input's units, a zero unit between two; most are short.
void checkPacking(InstanceRecord record, const std::wstring& text)
{
    Arguments arguments = piecesBetween(text, L'\0');
    if (text.empty()) {
        arguments.clear();
    }
    std::size_t bytes = 2;
    for (const std::wstring& argument : arguments) {
        bytes += 2 * argument.size() + 2;
    }
    bool fits = bytes <= kPackedArgumentBytes;
    FUZZ_CHECK(argumentsFitRecord(arguments) == fits);

    InstanceRecord before = record;
    bool packed = packArguments(arguments, record);
    FUZZ_CHECK(packed == fits);
    if (!packed) {
        FUZZ_CHECK(std::memcmp(&before, &record, sizeof record) == 0);
        return;
    }
    // Only the argument text's first 1040 bytes are written.
    FUZZ_CHECK(std::memcmp(&before, &record, offsetof(InstanceRecord, argumentText)) == 0);
    constexpr std::size_t packedEnd = offsetof(InstanceRecord, argumentText) + kPackedArgumentBytes;
    FUZZ_CHECK(std::memcmp(reinterpret_cast<const char*>(&before) + packedEnd,
                           reinterpret_cast<const char*>(&record) + packedEnd,
                           sizeof record - packedEnd) == 0);
    FUZZ_CHECK(unpackArguments(record) == expectedRoundTrip(arguments));
    checkAnyRecord(record);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    checkAnyRecord(recordFrom(data, size));

    // The same bytes as arguments, packed over a record holding the input's tail.
    FuzzInput input(data, size);
    checkPacking(recordFrom(data + size / 2, size - size / 2), input.rest());
    return 0;
}
