// The record a first instance shares with the later starts of the same
// executable, and the rules that fill and read its argument text.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

// The argument area holds 1040 code units, but a later start fills only the
// first 1040 bytes of it, and a reader stops at byte 2090 of the record.
inline constexpr std::size_t kArgumentTextUnits = 1040;
inline constexpr std::size_t kPackedArgumentBytes = 1040;
inline constexpr std::size_t kUnpackEndOffset = 2090;

// Little-endian, 2092 bytes, no header or version field. Everything in it can
// be written by any process of the user's logon, so readers trust none of it.
struct InstanceRecord {
    std::uint32_t listenerThreadId;  // receiver of handover messages
    std::uint32_t firstProcessId;
    std::uint32_t messageId;                         // RegisterWindowMessageW for the channel name
    std::uint16_t argumentText[kArgumentTextUnits];  // UTF-16 code units
};

static_assert(std::endian::native == std::endian::little);
static_assert(std::is_trivially_copyable_v<InstanceRecord>);
static_assert(std::is_standard_layout_v<InstanceRecord>);
static_assert(offsetof(InstanceRecord, listenerThreadId) == 0);
static_assert(offsetof(InstanceRecord, firstProcessId) == 4);
static_assert(offsetof(InstanceRecord, messageId) == 8);
static_assert(offsetof(InstanceRecord, argumentText) == 12);
static_assert(sizeof(InstanceRecord) == 2092);

// RegisterWindowMessageW hands out ids from 0xC000 to 0xFFFF only. Any other
// id in the record was not put there by a first instance: posting it could
// reach the listener as WM_QUIT or another system message.
[[nodiscard]] constexpr bool isRegisteredMessageId(std::uint32_t messageId)
{
    return messageId >= 0xC000 && messageId <= 0xFFFF;
}

// True when the arguments, each with its terminating zero, plus the zero that
// closes the list, fit into the 1040 bytes a later start may fill.
[[nodiscard]] bool argumentsFitRecord(const std::vector<std::wstring>& arguments);

// Clears the first 1040 bytes of the argument text and writes each argument's
// code units followed by a zero. False, with the record untouched, when the
// arguments do not fit. Each wchar_t is one UTF-16 code unit.
[[nodiscard]] bool packArguments(const std::vector<std::wstring>& arguments,
                                 InstanceRecord& record);

// The strings of the argument text: each ends at a zero unit and the list
// ends at two zeros in a row. A string still open at byte 2090 is dropped, so
// garbage gives at most what it spells and never reads past the record. An
// empty argument after the first one ends the list, as the packing implies.
std::vector<std::wstring> unpackArguments(const InstanceRecord& record);
