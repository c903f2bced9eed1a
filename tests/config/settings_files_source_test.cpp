#include "config/settings_files_source.h"

#include <gtest/gtest.h>

#include "config/ini_text.h"
#include "config_test_helpers.h"

namespace {

// A product laid out in a fresh folder: the executable's path (the file need
// not exist), its settings file, and APPDATA pointing into the folder.
class SettingsFilesSourceTest : public testing::Test {
protected:
    SettingsOutcome readSettings(std::string_view fileText, std::wstring_view embeddedText = L"")
    {
        writeFileBytes(settingsFile_, fileText);
        SettingsFilesSource source(executable_, settingsFile_, parseIniText(embeddedText));
        return fillLauncherSettings(source, product_.path(), settings_);
    }

    std::wstring userFolder() const { return appData_.path() + L"\\Acme Editor\\AE-1"; }
    std::wstring userFile() const { return userFolder() + L"\\start.ini"; }
    void writeUserFile(std::string_view text)
    {
        ASSERT_TRUE(CreateDirectoryW((appData_.path() + L"\\Acme Editor").c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW(userFolder().c_str(), nullptr));
        writeFileBytes(userFile(), text);
    }

    TempFolder product_;
    TempFolder appData_;
    EnvironmentVariableGuard appDataVariable_{L"APPDATA", appData_.path().c_str()};
    std::wstring executable_ = product_.file(L"start.exe");
    std::wstring settingsFile_ = product_.file(L"start.ini");
    LauncherSettings settings_;
};

// "Acme: Editor?" loses its colon and question mark on the way to a folder name.
constexpr char productKeys[] =
    "[product information]\r\nPRODUCT CODE=AE-1\r\nProduct Name=Acme: Editor?\r\n";

TEST_F(SettingsFilesSourceTest, ProductKeysIgnoreTheLayerAndPlusSections)
{
    ASSERT_EQ(
        readSettings(std::string(productKeys) + "[Product Information+]\r\nProduct Code=plus\r\n"
                                                "[Java Runtime Environment]\r\nMain Class=App\r\n",
                     L"[Product Information]\r\nProduct Name=Embedded\r\n"),
        SettingsOutcome::complete);
    EXPECT_EQ(settings_.productCode, L"AE-1");
    EXPECT_EQ(settings_.productName, L"Acme: Editor?");

    ASSERT_EQ(readSettings("[Java Runtime Environment]\r\nMain Class=App\r\n",
                           L"[Product Information]\r\nProduct Name=Embedded\r\n"),
              SettingsOutcome::complete);
    EXPECT_EQ(settings_.productName, L"");
}

TEST_F(SettingsFilesSourceTest, MainClassMayComeFromTheLayerOrBeExtendedByAPlusSection)
{
    const wchar_t embedded[] = L"[Java Runtime Environment]\r\nMain Class=com.example.Embedded\r\n";
    ASSERT_EQ(readSettings("[Application]\r\nFailure Check=yes\r\n", embedded),
              SettingsOutcome::complete);
    EXPECT_EQ(settings_.mainClass, L"com/example/Embedded");
    EXPECT_TRUE(settings_.failureCheck);

    ASSERT_EQ(
        readSettings("[JAVA RUNTIME ENVIRONMENT]\r\nmain class=com.example.File\r\n", embedded),
        SettingsOutcome::complete);
    EXPECT_EQ(settings_.mainClass, L"com/example/File");

    ASSERT_EQ(readSettings("[Java Runtime Environment+]\r\nSystem Path=C:\\more\r\n",
                           L"[Java Runtime Environment]\r\nMain Class=App\r\n"
                           L"System Path=C:\\tools\r\n"),
              SettingsOutcome::complete);
    EXPECT_EQ(settings_.systemPath, L"C:\\tools C:\\more");

    EXPECT_EQ(readSettings("[Java Runtime Environment]\r\nMain Class=\r\n"),
              SettingsOutcome::mainClassMissing);
}

TEST_F(SettingsFilesSourceTest, ExistingPerUserFileHidesTheJrePathBesideTheExecutable)
{
    const std::string file = std::string(productKeys) +
                             "[Java Runtime Environment]\r\nMain Class=App\r\nJRE Path=jre\r\n";
    ASSERT_EQ(readSettings(file), SettingsOutcome::complete);
    EXPECT_EQ(settings_.jrePath, product_.path() + L"\\jre");
    // Looking for the per-user file creates nothing.
    EXPECT_FALSE(folderExists(appData_.path() + L"\\Acme Editor"));

    writeUserFile("[Java Runtime Environment]\r\nOther=1\r\n");
    ASSERT_EQ(readSettings(file), SettingsOutcome::complete);
    EXPECT_EQ(settings_.jrePath, L"");

    writeFileBytes(userFile(), "[Java Runtime Environment]\r\nJRE Path=D:\\Chosen\\\r\n");
    ASSERT_EQ(readSettings(file), SettingsOutcome::complete);
    EXPECT_EQ(settings_.jrePath, L"D:\\Chosen\\");

    // A service keeps its runtime in the settings file itself.
    ASSERT_EQ(readSettings(file + "[Application]\r\nApplication Type=service\r\n"),
              SettingsOutcome::complete);
    EXPECT_EQ(settings_.jrePath, product_.path() + L"\\jre");
}

TEST_F(SettingsFilesSourceTest, FolderNamedLikeThePerUserFileIsNoFile)
{
    ASSERT_TRUE(CreateDirectoryW((appData_.path() + L"\\Acme Editor").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(userFolder().c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(userFile().c_str(), nullptr));
    ASSERT_EQ(readSettings(std::string(productKeys) +
                           "[Java Runtime Environment]\r\nMain Class=App\r\nJRE Path=D:\\Java\r\n"),
              SettingsOutcome::complete);
    EXPECT_EQ(settings_.jrePath, L"D:\\Java");
}

}  // namespace
