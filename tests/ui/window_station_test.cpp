// Telling a station somebody sees from one nobody sees, on real stations: the
// test process's own interactive one and one it makes for itself.
#include "ui/window_station.h"

#include <gtest/gtest.h>
#include <windows.h>

TEST(WindowStation, OnlyTheInteractiveStationCounts)
{
    HWINSTA interactive = GetProcessWindowStation();
    ASSERT_NE(interactive, nullptr);
    EXPECT_TRUE(hasInteractiveWindowStation());

    HWINSTA hidden = CreateWindowStationW(L"TarvoUiTestStation", 0, WINSTA_ALL_ACCESS, nullptr);
    ASSERT_NE(hidden, nullptr) << "error " << GetLastError();
    ASSERT_TRUE(SetProcessWindowStation(hidden));
    const bool seenOnHidden = hasInteractiveWindowStation();
    ASSERT_TRUE(SetProcessWindowStation(interactive));
    CloseWindowStation(hidden);

    EXPECT_FALSE(seenOnHidden);
    EXPECT_TRUE(hasInteractiveWindowStation());
}
