#include "splash/splash_rules.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

TEST(SplashPlacement, PictureIsCentredOnTheScreen)
{
    SplashPlacement placement = centredPlacement(1024, 768, 301, 201);
    EXPECT_EQ(placement.x, 361);
    EXPECT_EQ(placement.y, 283);
    EXPECT_EQ(placement.width, 301);
    EXPECT_EQ(placement.height, 201);
}

TEST(SplashPlacement, OddRoomIsDividedTowardZero)
{
    // 3 pixels of room left: 1 before the picture, 2 after.
    EXPECT_EQ(centredPlacement(800, 600, 797, 597).x, 1);
    EXPECT_EQ(centredPlacement(800, 600, 797, 597).y, 1);
    // A picture wider than the screen: -201 / 2 is -100, not -101.
    SplashPlacement wide = centredPlacement(800, 600, 1001, 100);
    EXPECT_EQ(wide.x, -100);
    EXPECT_EQ(wide.y, 250);
    EXPECT_EQ(wide.width, 1001);
    EXPECT_EQ(centredPlacement(1024, 768, 100, 1001).y, -116);
}

TEST(SplashPlacement, PictureOfNoSizeSitsAtTheCentre)
{
    SplashPlacement empty = centredPlacement(1024, 768, 0, 0);
    EXPECT_EQ(empty.x, 512);
    EXPECT_EQ(empty.y, 384);
    EXPECT_EQ(empty.width, 0);
    EXPECT_EQ(empty.height, 0);
}

TEST(SplashPlacement, SizesBeyondAWindowsRangeAreCutInsteadOfWrapping)
{
    constexpr int largest = std::numeric_limits<int>::max();
    SplashPlacement huge = centredPlacement(1024, 768, std::numeric_limits<std::uint32_t>::max(),
                                            static_cast<std::uint32_t>(largest) + 1);
    EXPECT_EQ(huge.width, largest);
    EXPECT_EQ(huge.height, largest);
    EXPECT_EQ(huge.x, (1024 - static_cast<long long>(largest)) / 2);
    EXPECT_LT(huge.y, 0);
}

TEST(SplashSettings, OnlyTheExactWordTrueGivesAShadow)
{
    EXPECT_TRUE(shadowWanted(L"true"));
    for (const wchar_t* text : {L"True", L"TRUE", L"yes", L"1", L"", L"true ", L" true"}) {
        EXPECT_FALSE(shadowWanted(text)) << "\"" << testing::PrintToString(std::wstring(text));
    }
}

TEST(SplashSettings, NativeSplashIsPreferredForYesInAnyLetterCase)
{
    for (const wchar_t* text : {L"Yes", L"yes", L"YES", L"yEs"}) {
        EXPECT_TRUE(nativeSplashPreferred(text)) << testing::PrintToString(std::wstring(text));
    }
    for (const wchar_t* text : {L"true", L"1", L"", L"yes ", L"Y"}) {
        EXPECT_FALSE(nativeSplashPreferred(text)) << testing::PrintToString(std::wstring(text));
    }
}

TEST(RuntimeSplashLibrary, NameFollowsTheBinFolderWithOneSeparator)
{
    EXPECT_EQ(splashLibraryPathIn(L"C:\\rt\\bin"), L"C:\\rt\\bin\\splashscreen.dll");
    EXPECT_EQ(splashLibraryPathIn(L"C:\\rt\\bin\\"), L"C:\\rt\\bin\\splashscreen.dll");
    EXPECT_EQ(splashLibraryPathIn(L"C:/rt/bin/"), L"C:/rt/bin/splashscreen.dll");
    // A JVM library path written with forward slashes is not shortened by the
    // bin folder rule; the library is looked for below the whole path.
    EXPECT_EQ(splashLibraryPathIn(L"C:/rt/bin/server/jvm.dll"),
              L"C:/rt/bin/server/jvm.dll\\splashscreen.dll");
    EXPECT_EQ(splashLibraryPathIn(L""), L"");
}

TEST(RuntimeSplashLibrary, SearchFolderIsTheTextBeforeTheLastBackslash)
{
    EXPECT_EQ(folderBeforeLastBackslash(L"C:\\rt\\bin\\splashscreen.dll"), L"C:\\rt\\bin");
    EXPECT_EQ(folderBeforeLastBackslash(L"C:\\splashscreen.dll"), L"C:");
    EXPECT_EQ(folderBeforeLastBackslash(L"\\lib.dll"), L"");
    EXPECT_EQ(folderBeforeLastBackslash(L"C:/rt/bin/splashscreen.dll"), std::nullopt);
    EXPECT_EQ(folderBeforeLastBackslash(L""), std::nullopt);
}
