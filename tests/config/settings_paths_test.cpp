#include "config/settings_paths.h"

#include <gtest/gtest.h>

#include "config_test_helpers.h"

namespace {

class UserSettingsFilePathTest : public testing::Test {
protected:
    TempFolder appData_;
    EnvironmentVariableGuard appDataVariable_{L"APPDATA", appData_.path().c_str()};
};

TEST_F(UserSettingsFilePathTest, WithoutFolderCreationNothingIsCreated)
{
    std::wstring path =
        userSettingsFilePathFor(testProgramPath(), L"Acme: Tools/Pro?", L"AT-2", false).value();
    EXPECT_EQ(path, appData_.path() + L"\\Acme ToolsPro\\AT-2\\config_tests.ini");
    EXPECT_FALSE(folderExists(appData_.path() + L"\\Acme ToolsPro"));
}

TEST_F(UserSettingsFilePathTest, WithFolderCreationBothFoldersExistButNotTheFile)
{
    std::wstring path =
        userSettingsFilePathFor(testProgramPath(), L"Acme: Tools/Pro?", L"AT-2", true).value();
    EXPECT_TRUE(folderExists(appData_.path() + L"\\Acme ToolsPro"));
    EXPECT_TRUE(folderExists(appData_.path() + L"\\Acme ToolsPro\\AT-2"));
    EXPECT_FALSE(fileExists(path));
    // Folders that exist already are no failure.
    EXPECT_EQ(userSettingsFilePathFor(testProgramPath(), L"Acme: Tools/Pro?", L"AT-2", true), path);
}

TEST_F(UserSettingsFilePathTest, PairedExecutableGetsItsOwnFileAndAlwaysItsFolders)
{
    EXPECT_EQ(pairUserSettingsFilePath(L"", L"Acme", L"AT-2"), std::nullopt);
    EXPECT_FALSE(folderExists(appData_.path() + L"\\Acme"));

    std::wstring path =
        pairUserSettingsFilePath(L"C:\\Apps\\Tool\\start32.exe", L"Acme", L"AT-2").value();
    EXPECT_EQ(path, appData_.path() + L"\\Acme\\AT-2\\start32.ini");
    EXPECT_TRUE(folderExists(appData_.path() + L"\\Acme\\AT-2"));
}

TEST_F(UserSettingsFilePathTest, HiddenExecutableNameGivesJustIni)
{
    EXPECT_EQ(userSettingsFilePathFor(L"C:\\Apps\\.hidden", L"Acme", L"AT-2", false),
              appData_.path() + L"\\Acme\\AT-2\\.ini");
}

TEST(UserSettingsFilePath, UnsetEmptyOrRelativeApplicationDataGivesNoPerUserFile)
{
    for (const wchar_t* value :
         {static_cast<const wchar_t*>(nullptr), L"", L"\\Users\\ann", L"AppData"}) {
        EnvironmentVariableGuard appData(L"APPDATA", value);
        EXPECT_EQ(userSettingsFilePathFor(L"C:\\Apps\\start.exe", L"Acme", L"AT-2", false),
                  std::nullopt);
        EXPECT_EQ(userSettingsFilePathFor(L"C:\\Apps\\start.exe", L"Acme", L"AT-2", true),
                  std::nullopt);
        EXPECT_EQ(pairUserSettingsFilePath(L"C:\\Apps\\start32.exe", L"Acme", L"AT-2"),
                  std::nullopt);
    }
    // Nothing was created in the current folder either.
    EXPECT_FALSE(folderExists(L"Acme"));
}

TEST(UserSettingsFilePath, ApplicationDataOfMoreThan259CharactersIsUsedWhole)
{
    for (size_t length : {259u, 260u, 261u, 600u}) {
        std::wstring longFolder = L"C:\\" + std::wstring(length - 3, L'd');
        EnvironmentVariableGuard longValue(L"APPDATA", longFolder.c_str());
        EXPECT_EQ(userSettingsFilePathFor(L"C:\\Apps\\start.exe", L"Acme", L"AT-2", false),
                  longFolder + L"\\Acme\\AT-2\\start.ini")
            << "APPDATA of " << length << " characters";
    }
}

TEST(PairSettingsFilePath, FollowsTheRuleOfTheSettingsFile)
{
    EXPECT_EQ(pairSettingsFilePath(L"C:\\Apps\\Tool\\start32.exe"), L"C:\\Apps\\Tool\\start32.ini");
    EXPECT_EQ(pairSettingsFilePath(L""), std::nullopt);
    EXPECT_EQ(pairSettingsFilePath(L"C:\\Apps\\Tool\\start32"), std::nullopt);
}

}  // namespace
