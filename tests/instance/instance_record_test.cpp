#include "instance/instance_record.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

using Arguments = std::vector<std::wstring>;

namespace {

// A record whose bytes are all 0xAA, so that what packing leaves alone shows.
InstanceRecord scribbledRecord()
{
    InstanceRecord record;
    std::memset(&record, 0xAA, sizeof record);
    return record;
}

InstanceRecord zeroRecord()
{
    InstanceRecord record;
    std::memset(&record, 0, sizeof record);
    return record;
}

Arguments roundTrip(const Arguments& arguments)
{
    InstanceRecord record = scribbledRecord();
    EXPECT_TRUE(packArguments(arguments, record));
    return unpackArguments(record);
}

}  // namespace

TEST(PackArguments, UnitsFollowEachOtherWithOneZeroAfterEachAndOneClosingZero)
{
    InstanceRecord record = scribbledRecord();
    ASSERT_TRUE(packArguments({L"ab", L"c"}, record));
    const std::uint16_t expected[] = {u'a', u'b', 0, u'c', 0, 0};
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(record.argumentText[i], expected[i]) << "unit " << i;
    }
    // The whole first 1040 bytes are cleared, nothing beyond them is touched,
    // and neither is the header.
    for (std::size_t i = std::size(expected); i < 520; ++i) {
        ASSERT_EQ(record.argumentText[i], 0) << "unit " << i;
    }
    for (std::size_t i = 520; i < kArgumentTextUnits; ++i) {
        ASSERT_EQ(record.argumentText[i], 0xAAAA) << "unit " << i;
    }
    EXPECT_EQ(record.listenerThreadId, 0xAAAAAAAAu);
    EXPECT_EQ(record.firstProcessId, 0xAAAAAAAAu);
    EXPECT_EQ(record.messageId, 0xAAAAAAAAu);
}

TEST(PackArguments, TheLimitIs1040BytesWithEveryTerminatorCounted)
{
    // 518 units, their zero and the closing zero: exactly 1040 bytes.
    EXPECT_TRUE(argumentsFitRecord({std::wstring(518, L'x')}));
    EXPECT_FALSE(argumentsFitRecord({std::wstring(519, L'x')}));
    // Two arguments: 2 x 2 terminators, so 517 units in all.
    EXPECT_TRUE(argumentsFitRecord({std::wstring(300, L'x'), std::wstring(217, L'y')}));
    EXPECT_FALSE(argumentsFitRecord({std::wstring(300, L'x'), std::wstring(218, L'y')}));
    // Empty arguments cost their terminator: 519 fit, 520 do not.
    EXPECT_TRUE(argumentsFitRecord(Arguments(519, L"")));
    EXPECT_FALSE(argumentsFitRecord(Arguments(520, L"")));
    // Huge arguments are refused without any size overflowing.
    EXPECT_FALSE(argumentsFitRecord({std::wstring(1 << 20, L'x')}));
    EXPECT_FALSE(argumentsFitRecord(Arguments(100000, L"a")));
    EXPECT_TRUE(argumentsFitRecord({}));
}

TEST(PackArguments, ArgumentsThatDoNotFitLeaveTheRecordUntouched)
{
    InstanceRecord record = scribbledRecord();
    EXPECT_FALSE(packArguments({std::wstring(519, L'x')}, record));
    InstanceRecord untouched = scribbledRecord();
    EXPECT_EQ(std::memcmp(&record, &untouched, sizeof record), 0);
}

TEST(PackArguments, The518UnitArgumentFillsTheAreaToItsLastByte)
{
    InstanceRecord record = scribbledRecord();
    ASSERT_TRUE(packArguments({std::wstring(518, L'x')}, record));
    EXPECT_EQ(record.argumentText[517], u'x');
    EXPECT_EQ(record.argumentText[518], 0);
    EXPECT_EQ(record.argumentText[519], 0);
    EXPECT_EQ(record.argumentText[520], 0xAAAA);
    EXPECT_EQ(unpackArguments(record), Arguments{std::wstring(518, L'x')});
}

TEST(UnpackArguments, ListsComeBackAsThePackingLetsThem)
{
    EXPECT_EQ(roundTrip({L"C:\\Docs\\a letter.txt", L"-x"}),
              (Arguments{L"C:\\Docs\\a letter.txt", L"-x"}));
    // No arguments arrive as one empty string.
    EXPECT_EQ(roundTrip({}), Arguments{L""});
    // An empty argument after the first ends the list; an empty first one does not.
    EXPECT_EQ(roundTrip({L"a", L"", L"b"}), Arguments{L"a"});
    EXPECT_EQ(roundTrip({L"", L"b"}), (Arguments{L"", L"b"}));
    EXPECT_EQ(roundTrip({L"", L""}), Arguments{L""});
}

TEST(UnpackArguments, CodeUnitsPassUnchangedLoneSurrogatesToo)
{
    const Arguments arguments = {std::wstring{wchar_t(0xD83D), wchar_t(0xDE00)},
                                 std::wstring{wchar_t(0xDC00), L'a', wchar_t(0xD800)},
                                 std::wstring{wchar_t(0xFFFF)}};
    EXPECT_EQ(roundTrip(arguments), arguments);
}

TEST(UnpackArguments, ReadingStopsAtByte2090)
{
    // Units 0 to 1038 lie below byte 2090; unit 1039 is only looked at as
    // the one after a zero.
    InstanceRecord record = zeroRecord();
    std::fill(record.argumentText, record.argumentText + 1038, u'x');
    EXPECT_EQ(unpackArguments(record), Arguments{std::wstring(1038, L'x')});

    // A string still open at byte 2090 is dropped, whatever follows.
    record = zeroRecord();
    std::fill(record.argumentText, record.argumentText + 1039, u'x');
    EXPECT_EQ(unpackArguments(record), Arguments{});
    std::fill(record.argumentText, record.argumentText + kArgumentTextUnits, u'x');
    EXPECT_EQ(unpackArguments(record), Arguments{});

    // A zero as the last unit read, then a non-zero one: the string before
    // it counts, the one begun after it is dropped.
    record = zeroRecord();
    std::fill(record.argumentText, record.argumentText + kArgumentTextUnits, u'x');
    record.argumentText[5] = 0;
    record.argumentText[1038] = 0;
    EXPECT_EQ(unpackArguments(record),
              (Arguments{std::wstring(5, L'x'), std::wstring(1032, L'x')}));
}

TEST(UnpackArguments, GarbageGivesBoundedStringsWithoutZeros)
{
    std::mt19937 random(20240607);
    for (int round = 0; round < 2000; ++round) {
        InstanceRecord record;
        auto* bytes = reinterpret_cast<unsigned char*>(&record);
        // Some rounds with many zero bytes, so that short strings and early
        // ends come up as well as long runs.
        const unsigned zeroShare = round % 4 == 0 ? 128 : 2;
        for (std::size_t i = 0; i < sizeof record; ++i) {
            unsigned value = random() % 256;
            bytes[i] = (random() % 256) < zeroShare ? 0 : static_cast<unsigned char>(value);
        }
        Arguments arguments = unpackArguments(record);
        std::size_t units = 0;
        for (const std::wstring& argument : arguments) {
            EXPECT_EQ(argument.find(L'\0'), std::wstring::npos);
            units += argument.size() + 1;
        }
        ASSERT_LE(units, 1039u) << "round " << round;
    }
}

TEST(RegisteredMessageIds, OnlyTheRangeRegisterWindowMessageHandsOut)
{
    EXPECT_FALSE(isRegisteredMessageId(0));
    EXPECT_FALSE(isRegisteredMessageId(0x0012));  // WM_QUIT
    EXPECT_FALSE(isRegisteredMessageId(0xBFFF));
    EXPECT_TRUE(isRegisteredMessageId(0xC000));
    EXPECT_TRUE(isRegisteredMessageId(0xFFFF));
    EXPECT_FALSE(isRegisteredMessageId(0x10000));
    EXPECT_FALSE(isRegisteredMessageId(0xAAAAAAAA));
}
