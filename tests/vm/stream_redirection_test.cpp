// The time stamp of output and error file names, formatted by the system's
// date and time pictures for a time the test chooses.
#include "vm/stream_redirection.h"

#include <gtest/gtest.h>

#include <string>

namespace {

SYSTEMTIME timeOf(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second,
                  WORD milliseconds)
{
    SYSTEMTIME time{};
    time.wYear = year;
    time.wMonth = month;
    time.wDay = day;
    time.wHour = hour;
    time.wMinute = minute;
    time.wSecond = second;
    time.wMilliseconds = milliseconds;
    return time;
}

std::wstring stamped(std::wstring name, const SYSTEMTIME& time)
{
    expandTimestamp(name, time);
    return name;
}

TEST(ExpandTimestamp, DateAndTimePicturesOfTheName)
{
    SYSTEMTIME evening = timeOf(2026, 12, 7, 21, 15, 3, 0);
    EXPECT_EQ(stamped(L"C:\\Logs\\out_%yyyy-MM-dd_HH-mm-ss%.log", evening),
              L"C:\\Logs\\out_2026-12-07_21-15-03.log");
    SYSTEMTIME morning = timeOf(2026, 12, 7, 9, 5, 7, 42);
    EXPECT_EQ(stamped(L"app_%yyyyMMdd_HHmmss_L%.txt", morning), L"app_20261207_090507_42.txt");
    // Single letters give no leading zero; hh is the 12-hour clock.
    EXPECT_EQ(stamped(L"%d.M.yy h-m-s%", timeOf(2026, 3, 4, 15, 6, 8, 0)), L"4.3.26 3-6-8");
}

TEST(ExpandTimestamp, NamesWithoutAPictureOrWithAnEmptyOne)
{
    SYSTEMTIME time = timeOf(2026, 12, 7, 21, 15, 3, 7);
    EXPECT_EQ(stamped(L"C:\\Logs\\out.log", time), L"C:\\Logs\\out.log");
    // Both percent signs are consumed; an empty picture stamps nothing.
    EXPECT_EQ(stamped(L"out%%.log", time), L"out.log");
    EXPECT_EQ(stamped(L"out%.log", time), L"out.log");
}

TEST(ExpandTimestamp, QuotedTextAndMilliseconds)
{
    SYSTEMTIME time = timeOf(2026, 12, 7, 21, 15, 3, 7);
    // Quoted text is copied without its quotes, but an L in it is still the
    // milliseconds.
    EXPECT_EQ(stamped(L"log_%'at 'HH'h'_L%.txt", time), L"log_at 21h_7.txt");
    EXPECT_EQ(stamped(L"%'L'%", time), L"7");
}

TEST(ExpandTimestamp, PicturesUpToTheBufferAreFormatted)
{
    SYSTEMTIME time = timeOf(2026, 12, 7, 21, 15, 3, 0);
    std::wstring picture;
    std::wstring expected;
    for (int repeat = 0; repeat < 23; ++repeat) {
        picture += L"yyyy-MM-dd";
        expected += L"2026-12-07";
    }
    picture += L"_HHmmss";
    expected += L"_211503";
    ASSERT_EQ(picture.size(), 237u);
    EXPECT_EQ(stamped(L"x%" + picture + L"%.log", time), L"x" + expected + L".log");

    // Longer than the buffer: taken as written, percent signs consumed.
    std::wstring tooLong(260, L'd');
    EXPECT_EQ(stamped(L"x%" + tooLong + L"%.log", time), L"x" + tooLong + L".log");
}

}  // namespace
