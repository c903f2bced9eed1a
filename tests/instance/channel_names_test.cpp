#include "instance/channel_names.h"

#include <gtest/gtest.h>

TEST(ChannelName, OnlyBackslashesBecomeUnderscores)
{
    EXPECT_EQ(channelName(L"C:\\Apps\\Tool\\start.exe"), L"C:_Apps_Tool_start.exe");
    // Letter case, blanks, slashes and letters outside ASCII stay as reported.
    EXPECT_EQ(channelName(L"c:\\Program Files\\Acme\\\u00c4rger/Tool.EXE"),
              L"c:_Program Files_Acme_\u00c4rger/Tool.EXE");
    EXPECT_EQ(channelName(L"\\\\server\\share\\start.exe"), L"__server_share_start.exe");
}

TEST(ChannelNames, TheEventAndTheLockFollowTheChannel)
{
    std::optional<ChannelNames> names = channelNamesFor(L"C:\\Apps\\Tool\\start.exe");
    ASSERT_TRUE(names);
    EXPECT_EQ(names->channel, L"C:_Apps_Tool_start.exe");
    EXPECT_EQ(names->readyEvent, L"C:_Apps_Tool_start.exe_upr_evt");
    EXPECT_EQ(names->handoverLock, L"C:_Apps_Tool_start.exe_upr_mtx");
    EXPECT_EQ(names->copiedMessage, L"C:_Apps_Tool_start.exe_upr_ack");
}

TEST(ChannelNames, NoNamesForAPathTooLongToNameAnObject)
{
    // The longest name, the path and eight more characters, may have 259.
    const std::wstring folder = L"C:\\" + std::wstring(240, L'a') + L"\\";
    const std::wstring fits = folder + std::wstring(251 - folder.size() - 4, L'b') + L".exe";
    ASSERT_EQ(fits.size(), 251u);
    std::optional<ChannelNames> names = channelNamesFor(fits);
    ASSERT_TRUE(names);
    EXPECT_EQ(names->readyEvent.size(), 259u);
    EXPECT_FALSE(channelNamesFor(fits + L"x"));
    // Two long paths that differ only past the limit never share a name.
    EXPECT_FALSE(channelNamesFor(folder + std::wstring(300, L'c') + L"1.exe"));
    EXPECT_FALSE(channelNamesFor(L""));
}
