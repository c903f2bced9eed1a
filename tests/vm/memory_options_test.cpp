#include "vm/memory_options.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using Numbers = std::vector<std::uint64_t>;

constexpr std::uint64_t gibibyte = 1073741824;
constexpr std::uint64_t largest = 18446744073709551615u;

// Physical memory of the given size and an address space of 128 TiB.
MachineMemory machineWith(std::uint64_t totalPhysical)
{
    return MachineMemory{totalPhysical, 140737488355328u};
}

std::wstring resolved(std::wstring token, const MachineMemory& memory)
{
    resolveMemoryShare(token, memory);
    return token;
}

}  // namespace

TEST(IsMemoryShareOption, KnownPrefixAndUnitLetter)
{
    for (const wchar_t* token : {L"-Xmx50P", L"-Xms10t", L"-Xss1p", L"-Xmx50T", L"-XmxP",
                                 L"-Xmx25:512:4096P", L"-Xms:256P"}) {
        EXPECT_TRUE(isMemoryShareOption(token)) << token;
    }
}

TEST(IsMemoryShareOption, OtherTokensAreNotShares)
{
    for (const wchar_t* token : {L"-XMX50P", L"-Xmx50%", L"-Xmx50", L"-xmx50P", L"-Xmn50P", L"-Xmx",
                                 L"-Xss", L"-Xm", L"P", L"", L"-Dx=50P"}) {
        EXPECT_FALSE(isMemoryShareOption(token)) << token;
    }
}

TEST(ParseNumberList, NumbersFromTheFirstDigitOrColon)
{
    NumberList list = parseNumberList(L"-Xmx25:512:4096P");
    EXPECT_EQ(list.startIndex, 4u);
    EXPECT_EQ(list.numbers, (Numbers{25, 512, 4096}));

    list = parseNumberList(L"-Xms:256P");
    EXPECT_EQ(list.startIndex, 4u);
    EXPECT_EQ(list.numbers, (Numbers{0, 256}));

    list = parseNumberList(L"a1:2::3x");
    EXPECT_EQ(list.startIndex, 1u);
    EXPECT_EQ(list.numbers, (Numbers{1, 2, 0, 3}));

    // Other characters inside the value are skipped.
    list = parseNumberList(L"1a2bK");
    EXPECT_EQ(list.startIndex, 0u);
    EXPECT_EQ(list.numbers, (Numbers{12}));
}

TEST(ParseNumberList, TheLastCharacterIsNeverRead)
{
    NumberList list = parseNumberList(L"-Xmx50");
    EXPECT_EQ(list.startIndex, 4u);
    EXPECT_EQ(list.numbers, (Numbers{5}));

    list = parseNumberList(L"5");
    EXPECT_EQ(list.startIndex, 0u);
    EXPECT_EQ(list.numbers, (Numbers{0}));
}

TEST(ParseNumberList, NoDigitsGiveAnEmptyListStartingAtTheEnd)
{
    NumberList list = parseNumberList(L"-XmxP");
    EXPECT_EQ(list.startIndex, 5u);
    EXPECT_TRUE(list.numbers.empty());

    list = parseNumberList(L"");
    EXPECT_EQ(list.startIndex, 0u);
    EXPECT_TRUE(list.numbers.empty());
}

TEST(ParseNumberList, NumbersBeyond64BitsStayAtTheLargestValue)
{
    EXPECT_EQ(parseNumberList(L"18446744073709551615P").numbers, (Numbers{largest}));
    EXPECT_EQ(parseNumberList(L"18446744073709551616P").numbers, (Numbers{largest}));
    EXPECT_EQ(parseNumberList(L"99999999999999999999999:7P").numbers, (Numbers{largest, 7}));
}

TEST(ResolveMemoryShare, ShareOfPhysicalMemoryIn16GiB)
{
    MachineMemory memory = machineWith(16 * gibibyte);
    EXPECT_EQ(resolved(L"-Xmx50P", memory), L"-Xmx8388608K");
    EXPECT_EQ(resolved(L"-Xmx50p", memory), L"-Xmx8388608K");
    EXPECT_EQ(resolved(L"-Xmx25:512:4096P", memory), L"-Xmx4194304K");
    EXPECT_EQ(resolved(L"-Xmx33P", memory), L"-Xmx5536481K");
    EXPECT_EQ(resolved(L"-Xss1P", memory), L"-Xss167772K");
    EXPECT_EQ(resolved(L"-Xmx200P", memory), L"-Xmx33554432K");
    // Characters before the first digit stay; those between digits are skipped.
    EXPECT_EQ(resolved(L"-Xmx=5x0P", memory), L"-Xmx=8388608K");
}

TEST(ResolveMemoryShare, MinimumAndMaximumInMegabytes)
{
    MachineMemory memory = machineWith(16 * gibibyte);
    EXPECT_EQ(resolved(L"-Xmx50:0:4096P", memory), L"-Xmx4194304K");
    EXPECT_EQ(resolved(L"-Xmx50::4096P", memory), L"-Xmx4194304K");
    EXPECT_EQ(resolved(L"-Xmx50:0:0P", memory), L"-Xmx8388608K");
    // Percent empty: exactly the minimum.
    EXPECT_EQ(resolved(L"-Xms:256P", memory), L"-Xms262144K");
    // The minimum beats the maximum.
    EXPECT_EQ(resolved(L"-Xmx:256:128P", memory), L"-Xmx262144K");
    // Numbers after the maximum are ignored.
    EXPECT_EQ(resolved(L"-Xmx50:0:4096:1P", memory), L"-Xmx4194304K");
    EXPECT_EQ(resolved(L"-Xms10:1024P", machineWith(8 * gibibyte)), L"-Xms1048576K");
}

TEST(ResolveMemoryShare, TSharesTheAvailableAddressSpace)
{
    MachineMemory memory = machineWith(16 * gibibyte);
    EXPECT_EQ(resolved(L"-Xmx50T", memory), L"-Xmx68719476736K");
    EXPECT_EQ(resolved(L"-Xmx50t", memory), L"-Xmx68719476736K");
    EXPECT_EQ(resolved(L"-Xmx50:0:1024T", memory), L"-Xmx1048576K");
    EXPECT_EQ(resolved(L"-Xmx50T", MachineMemory{16 * gibibyte, 2 * gibibyte}), L"-Xmx1048576K");
}

TEST(ResolveMemoryShare, KilobytesAndSizeAreRoundedDown)
{
    EXPECT_EQ(resolved(L"-Xmx100P", machineWith(1023)), L"-Xmx0K");
    EXPECT_EQ(resolved(L"-Xmx100P", machineWith(2047)), L"-Xmx1K");
    EXPECT_EQ(resolved(L"-Xmx50P", machineWith(3 * 1024)), L"-Xmx1K");
    EXPECT_EQ(resolved(L"-Xmx50P", machineWith(0)), L"-Xmx0K");
}

TEST(ResolveMemoryShare, ShareWithoutANumberPassesUnchanged)
{
    // "-XmxP0K" would stop the VM from starting: a share that names no number
    // is left as written, like any other text.
    for (const wchar_t* token : {L"-XmxP", L"-Xmsp", L"-XssT", L"-Xmx:P", L"-Xmx=t"}) {
        EXPECT_EQ(resolved(token, machineWith(16 * gibibyte)), token) << token;
    }
}

TEST(ResolveMemoryShare, SizesBeyond64BitsStayAtTheLargestValue)
{
    MachineMemory memory = machineWith(16 * gibibyte);
    // A percent so large that the share does not fit.
    EXPECT_EQ(resolved(L"-Xmx99999999999999999999P", memory), L"-Xmx18446744073709551615K");
    // A minimum whose kilobytes do not fit (2^54 MB) does not wrap to 0.
    EXPECT_EQ(resolved(L"-Xms50:18014398509481984P", memory), L"-Xms18446744073709551615K");
    // A maximum whose kilobytes do not fit does not wrap to a small cap.
    EXPECT_EQ(resolved(L"-Xmx50:0:18014398509481985P", memory), L"-Xmx8388608K");
}

TEST(StackSizeFromOption, SuffixesInEitherCase)
{
    EXPECT_EQ(stackSizeFromOption(L"-Xss512k"), 524288u);
    EXPECT_EQ(stackSizeFromOption(L"-Xss512K"), 524288u);
    EXPECT_EQ(stackSizeFromOption(L"-Xss2m"), 2097152u);
    EXPECT_EQ(stackSizeFromOption(L"-Xss2M"), 2097152u);
    EXPECT_EQ(stackSizeFromOption(L"-Xss1g"), 1073741824u);
    EXPECT_EQ(stackSizeFromOption(L"-Xss3G"), 3221225472u);
    // The rewritten form of -Xss1P on a 16 GiB machine.
    EXPECT_EQ(stackSizeFromOption(L"-Xss167772K"), 171798528u);
}

TEST(StackSizeFromOption, PlainBytesIncludeTheLastDigit)
{
    EXPECT_EQ(stackSizeFromOption(L"-Xss1048576"), 1048576u);
    EXPECT_EQ(stackSizeFromOption(L"-Xss5"), 5u);
    // Any other last character counts as bytes.
    EXPECT_EQ(stackSizeFromOption(L"-Xss70x"), 70u);
}

TEST(StackSizeFromOption, UnreadableValuesGiveZero)
{
    for (const wchar_t* token : {L"-Xss:1m", L"-Xss", L"-Xssm", L"-Xss1:2m", L"-Xssx1m", L"-Xss 1m",
                                 L"-XSS512k", L"-Xmx512k", L""}) {
        EXPECT_EQ(stackSizeFromOption(token), 0u) << token;
    }
}

TEST(StackSizeFromOption, SizesBeyond64BitsGiveZero)
{
    EXPECT_EQ(stackSizeFromOption(L"-Xss18446744073709551615"), largest);
    EXPECT_EQ(stackSizeFromOption(L"-Xss18446744073709551616"), 0u);
    EXPECT_EQ(stackSizeFromOption(L"-Xss17179869183g"), 17179869183u * gibibyte);
    EXPECT_EQ(stackSizeFromOption(L"-Xss17179869184g"), 0u);
    EXPECT_EQ(stackSizeFromOption(L"-Xss99999999999999999999999k"), 0u);
}

TEST(IsStackSizeOption, OnlyTheExactPrefix)
{
    EXPECT_TRUE(isStackSizeOption(L"-Xss512k"));
    EXPECT_TRUE(isStackSizeOption(L"-Xss"));
    EXPECT_FALSE(isStackSizeOption(L"-XSS512k"));
    EXPECT_FALSE(isStackSizeOption(L"-Xs"));
}
