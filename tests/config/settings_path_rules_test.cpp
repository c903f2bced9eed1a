#include "config/settings_path_rules.h"

#include <gtest/gtest.h>

#include "support/folder_of_path.h"

namespace {

TEST(FolderOfPath, BothFormsOfAnExecutableInAFolder)
{
    EXPECT_EQ(folderOfPath(L"C:\\Apps\\Tool\\start.exe", FolderForm::withTrailingBackslash),
              L"C:\\Apps\\Tool\\");
    EXPECT_EQ(folderOfPath(L"C:\\Apps\\Tool\\start.exe", FolderForm::withoutTrailingBackslash),
              L"C:\\Apps\\Tool");
}

TEST(FolderOfPath, ExecutableInTheRootGivesTheDriveAndTheBareDrive)
{
    EXPECT_EQ(folderOfPath(L"C:\\start.exe", FolderForm::withTrailingBackslash), L"C:\\");
    EXPECT_EQ(folderOfPath(L"C:\\start.exe", FolderForm::withoutTrailingBackslash), L"C:");
}

TEST(FolderOfPath, NetworkPathAndPathWithoutFolder)
{
    EXPECT_EQ(folderOfPath(L"\\\\server\\share\\start.exe", FolderForm::withoutTrailingBackslash),
              L"\\\\server\\share");
    EXPECT_EQ(folderOfPath(L"start.exe", FolderForm::withTrailingBackslash), L"");
    EXPECT_EQ(folderOfPath(L"start.exe", FolderForm::withoutTrailingBackslash), L"");
    // Only the backslash separates here.
    EXPECT_EQ(folderOfPath(L"C:\\Apps/Tool/start.exe", FolderForm::withTrailingBackslash), L"C:\\");
}

TEST(SettingsFilePathFor, ReplacesEverythingAfterTheLastDotWithIni)
{
    EXPECT_EQ(settingsFilePathFor(L"C:\\Apps\\Tool\\start.exe"), L"C:\\Apps\\Tool\\start.ini");
    EXPECT_EQ(settingsFilePathFor(L"C:\\Apps\\Tool\\my.tool.exe"), L"C:\\Apps\\Tool\\my.tool.ini");
    EXPECT_EQ(settingsFilePathFor(L"C:\\Apps\\Tool\\start."), L"C:\\Apps\\Tool\\start.ini");
    EXPECT_EQ(settingsFilePathFor(L"start.exe"), L"start.ini");
}

TEST(SettingsFilePathFor, ExecutableWithoutExtensionIsCutInsideADottedFolderName)
{
    EXPECT_EQ(settingsFilePathFor(L"C:\\Apps.v2\\start"), L"C:\\Apps.ini");
}

TEST(SettingsFilePathFor, NoDotAtAllGivesNoPath)
{
    EXPECT_EQ(settingsFilePathFor(L"C:\\Apps\\Tool\\start"), std::nullopt);
    EXPECT_EQ(settingsFilePathFor(L""), std::nullopt);
}

TEST(ProductFolderName, RemovesTheNineCharactersAndKeepsBlanks)
{
    EXPECT_EQ(productFolderName(L"Acme / Tools: Pro?"), L"Acme  Tools Pro");
    EXPECT_EQ(productFolderName(L"a\\b?c\"d|e>f<g:h/i*j"), L"abcdefghij");
    EXPECT_EQ(productFolderName(L"  Tool 2 (x86) & more.  "), L"  Tool 2 (x86) & more.  ");
    EXPECT_EQ(productFolderName(L"?*:"), L"");
}

TEST(FileBaseName, CutsTheExtensionOfTheFileNameOnly)
{
    EXPECT_EQ(fileBaseName(L"C:\\Apps\\Tool\\start.exe"), L"start");
    EXPECT_EQ(fileBaseName(L"C:\\Apps\\Tool\\my.tool.exe"), L"my.tool");
    EXPECT_EQ(fileBaseName(L"C:\\Apps.v2\\start"), L"start");
    EXPECT_EQ(fileBaseName(L"start.exe"), L"start");
    EXPECT_EQ(fileBaseName(L"C:\\Apps\\.hidden"), L"");
}

TEST(UserSettingsLocationFor, JoinsApplicationDataCleanedNameCodeAndBaseName)
{
    UserSettingsLocation location =
        userSettingsLocationFor(L"C:\\Users\\ann\\AppData\\Roaming", L"Acme: Tools/Pro?", L"AT-2",
                                L"D:\\x\\start.exe")
            .value();
    EXPECT_EQ(location.productFolder, L"C:\\Users\\ann\\AppData\\Roaming\\Acme ToolsPro");
    EXPECT_EQ(location.codeFolder, L"C:\\Users\\ann\\AppData\\Roaming\\Acme ToolsPro\\AT-2");
    EXPECT_EQ(location.filePath,
              L"C:\\Users\\ann\\AppData\\Roaming\\Acme ToolsPro\\AT-2\\start.ini");
}

TEST(UserSettingsLocationFor, ProductCodeIsKeptUnchanged)
{
    UserSettingsLocation location =
        userSettingsLocationFor(L"C:\\Data", L"Tool", L"a:b", L"C:\\start.exe").value();
    EXPECT_EQ(location.filePath, L"C:\\Data\\Tool\\a:b\\start.ini");
}

TEST(UserSettingsLocationFor, HiddenNameGivesJustIni)
{
    EXPECT_EQ(userSettingsLocationFor(L"C:\\Data", L"P", L"C", L"C:\\Apps\\.hidden")->filePath,
              L"C:\\Data\\P\\C\\.ini");
}

TEST(UserSettingsLocationFor, OnlyAnAbsoluteDataFolderGivesAPerUserFile)
{
    // An empty or relative folder would put the file, which decides the
    // runtime, on the current drive or in the current folder.
    for (const wchar_t* folder : {L"", L"\\Data", L"Data", L"C:Data", L"..\\Data", L"C:"}) {
        EXPECT_EQ(userSettingsLocationFor(folder, L"P", L"C", L"C:\\start.exe"), std::nullopt)
            << folder;
    }
    EXPECT_EQ(userSettingsLocationFor(L"c:/Data", L"P", L"C", L"C:\\start.exe")->filePath,
              L"c:/Data\\P\\C\\start.ini");
    EXPECT_EQ(userSettingsLocationFor(L"\\\\srv\\home", L"P", L"C", L"C:\\start.exe")->filePath,
              L"\\\\srv\\home\\P\\C\\start.ini");
    EXPECT_EQ(userSettingsLocationFor(L"\\\\?\\C:\\Data", L"P", L"C", L"C:\\start.exe")->filePath,
              L"\\\\?\\C:\\Data\\P\\C\\start.ini");
}

TEST(UserSettingsLocationFor, NameAndCodeStayOneFolderEachInsideTheDataFolder)
{
    UserSettingsLocation location =
        userSettingsLocationFor(L"C:\\Data", L"..", L"..\\..\\Windows", L"C:\\start.exe").value();
    EXPECT_EQ(location.productFolder, L"C:\\Data\\");
    EXPECT_EQ(location.filePath, L"C:\\Data\\\\Windows\\start.ini");
    location = userSettingsLocationFor(L"C:\\Data", L"a/../b", L"x/y", L"C:\\start.exe").value();
    EXPECT_EQ(location.filePath, L"C:\\Data\\ab\\xy\\start.ini");
}

TEST(ProductFolderName, RunsOfDotsAreDroppedSingleDotsStay)
{
    EXPECT_EQ(productFolderName(L".."), L"");
    EXPECT_EQ(productFolderName(L"..."), L"");
    EXPECT_EQ(productFolderName(L".\\."), L"");
    EXPECT_EQ(productFolderName(L"Tool 2..5"), L"Tool 25");
    EXPECT_EQ(productFolderName(L"Acme.Tools v1.2."), L"Acme.Tools v1.2.");
}

TEST(ProductCodeFolderName, DropsSeparatorsAndRunsOfDotsOnly)
{
    EXPECT_EQ(productCodeFolderName(L"a:b*c?"), L"a:b*c?");
    EXPECT_EQ(productCodeFolderName(L"..\\../x"), L"x");
    EXPECT_EQ(productCodeFolderName(L"AT-2.1"), L"AT-2.1");
    EXPECT_EQ(productCodeFolderName(L".."), L"");
}

TEST(IsAbsolutePath, DriveWithSeparatorOrTwoLeadingSeparators)
{
    for (const wchar_t* path :
         {L"C:\\", L"z:/x", L"\\\\srv\\share", L"//srv/share", L"\\\\?\\C:\\x"}) {
        EXPECT_TRUE(isAbsolutePath(path)) << path;
    }
    for (const wchar_t* path :
         {L"", L"C:", L"C:x", L"\\x", L"/x", L"x", L"..\\x", L"1:\\x", L"\\\\"}) {
        EXPECT_FALSE(isAbsolutePath(path)) << path;
    }
}

}  // namespace
