#include "config/settings_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "config/ini_text.h"
#include "config/memory_settings_store.h"

namespace {

const std::wstring folder = L"C:\\Apps\\Tool";

// The three readers over texts in memory, keeping a record of every read in
// the order it happened: "file", "layered" or "user", then section/key.
class RecordingSource : public SettingsTextSource {
public:
    MemorySettingsStore file;
    MemorySettingsStore layered;
    std::optional<MemorySettingsStore> user;  // absent: no per-user file
    std::vector<std::wstring> reads;
    std::vector<std::wstring> userFileOwners;  // product name and code of each per-user read

    std::wstring readFileSetting(std::wstring_view section, std::wstring_view key) override
    {
        record(L"file", section, key);
        return file.readSetting(section, key);
    }
    std::wstring readLayeredSetting(std::wstring_view section, std::wstring_view key) override
    {
        record(L"layered", section, key);
        return layered.readSetting(section, key);
    }
    std::optional<std::wstring> readUserSetting(std::wstring_view productName,
                                                std::wstring_view productCode,
                                                std::wstring_view section,
                                                std::wstring_view key) override
    {
        record(L"user", section, key);
        userFileOwners.push_back(std::wstring(productName) + L"|" + std::wstring(productCode));
        if (!user) {
            return std::nullopt;
        }
        return user->readSetting(section, key);
    }

private:
    void record(const wchar_t* reader, std::wstring_view section, std::wstring_view key)
    {
        reads.push_back(std::wstring(reader) + L" " + std::wstring(section) + L"/" +
                        std::wstring(key));
    }
};

std::wstring jre(const wchar_t* key)
{
    return std::wstring(L"layered Java Runtime Environment/") + key;
}
std::wstring app(const wchar_t* key)
{
    return std::wstring(L"layered Application/") + key;
}

TEST(SettingsModel, ReadsEveryKeyInItsOrderAndFromItsPlace)
{
    RecordingSource source;
    source.file =
        parseIniText(L"[Product Information]\r\nProduct Code=P-1\r\nProduct Name=Acme\r\n");
    source.layered = parseIniText(L"[Java Runtime Environment]\r\nMain Class=a.B\r\n");
    source.user = MemorySettingsStore{};

    LauncherSettings settings;
    ASSERT_EQ(fillLauncherSettings(source, folder, settings), SettingsOutcome::complete);
    const std::vector<std::wstring> expected = {
        L"file Product Information/Product Code",
        L"file Product Information/Product Name",
        jre(L"Minimum Version"),
        jre(L"Maximum Version"),
        app(L"Application Type"),
        jre(L"Preferred versions"),
        L"user Java Runtime Environment/JRE Path",
        jre(L"JVM Type"),
        jre(L"JVM Source"),
        jre(L"VM Provider"),
        jre(L"Main Class"),
        app(L"Failure Check"),
        app(L"Override WorkingDir"),
        jre(L"System Path"),
        jre(L"Library Path"),
        app(L"Pair Product"),
        app(L"Pair Return Code"),
        app(L"Single Instance"),
        L"layered Class Path/Class Path",
        app(L"Embedded Jar"),
        jre(L"Virtual Machine Parameters"),
        app(L"Output File"),
        app(L"Output Append"),
        app(L"Error File"),
        app(L"Error Append"),
        app(L"Cmd"),
        L"file Display/Splash Screen",
        L"file Display/Splash Screen Shadow",
        L"file Display/Preffer Native Splash Screen",
        jre(L"Search Installed Runtimes"),
        jre(L"Class Data Sharing"),
    };
    EXPECT_EQ(source.reads, expected);
    // The per-user file is the one of the product just read.
    EXPECT_EQ(source.userFileOwners, std::vector<std::wstring>{L"Acme|P-1"});
}

TEST(SettingsModel, MissingMainClassStopsBeforeTheKeysAfterIt)
{
    RecordingSource source;
    source.layered = parseIniText(
        L"[Java Runtime Environment]\r\nMain Class=\r\nSystem Path=C:\\tools\r\n"
        L"[Application]\r\nFailure Check=Yes\r\nPair Product=pair.exe\r\n");
    LauncherSettings settings;
    EXPECT_EQ(fillLauncherSettings(source, folder, settings), SettingsOutcome::mainClassMissing);
    EXPECT_EQ(source.reads.back(), jre(L"Main Class"));
    EXPECT_EQ(settings.mainClass, L"");
    EXPECT_FALSE(settings.failureCheck);
    EXPECT_EQ(settings.systemPath, L"");
    EXPECT_EQ(settings.pairProduct, L"");

    RecordingSource nothingAtAll;
    EXPECT_EQ(fillLauncherSettings(nothingAtAll, folder, settings),
              SettingsOutcome::mainClassMissing);
}

TEST(SettingsModel, AbsentKeysGiveTheDefaults)
{
    RecordingSource source;
    source.layered = parseIniText(L"[Java Runtime Environment]\r\nMain Class=App\r\n");
    LauncherSettings settings;
    ASSERT_EQ(fillLauncherSettings(source, folder, settings), SettingsOutcome::complete);

    EXPECT_EQ(settings.productCode, L"");
    EXPECT_EQ(settings.productName, L"");
    EXPECT_EQ(settings.minimumVersion.parts, (std::array<std::int32_t, 4>{0, 0, 0, 0}));
    // No "Maximum Version": no upper bound, the same as "any".
    EXPECT_EQ(settings.maximumVersion.parts,
              (std::array<std::int32_t, 4>{65535, 65535, 65535, 65535}));
    EXPECT_FALSE(settings.isService);
    EXPECT_TRUE(settings.preferredVersions.empty());
    EXPECT_EQ(settings.jrePath, L"");
    EXPECT_EQ(settings.jvmType, kAnyJvm);
    EXPECT_TRUE(settings.favorMode);
    EXPECT_TRUE(settings.jdkWanted);
    EXPECT_TRUE(settings.jreWanted);
    EXPECT_TRUE(settings.sunAllowed);
    EXPECT_TRUE(settings.sunFavored);
    EXPECT_FALSE(settings.jrockitAllowed || settings.jrockitFavored || settings.ibmAllowed ||
                 settings.ibmFavored);
    EXPECT_EQ(settings.mainClass, L"App");
    EXPECT_FALSE(settings.failureCheck || settings.overrideWorkingDir || settings.pairReturnCode);
    EXPECT_EQ(settings.systemPath, L"");
    EXPECT_EQ(settings.libraryPath, L"");
    EXPECT_EQ(settings.pairProduct, L"");
}

TEST(SettingsModel, EveryKeyTakesItsValueByItsOwnForm)
{
    RecordingSource source;
    source.file = parseIniText(
        L"[Product Information]\r\nProduct Code=ACME-7\r\nProduct Name=Acme: Editor?\r\n");
    source.layered = parseIniText(
        L"[Java Runtime Environment]\r\n"
        L"Minimum Version=1.8\r\nMaximum Version=11.0.2\r\n"
        L"Preferred versions=11;1.8;;17\r\n"
        L"JRE Path=jre\r\nJVM Type=favor_server\r\nJVM Source=only_JDK\r\n"
        L"VM Provider=Favor_IBM\r\nMain Class=com.example.App\r\n"
        L"System Path=C:\\tools\r\nLibrary Path=%APP%\\native\r\n"
        L"[Application]\r\n"
        L"Application Type=service\r\nFailure Check=yes\r\nOverride WorkingDir=YES\r\n"
        L"Pair Product=tool32.exe\r\nPair Return Code=YES\r\n");
    LauncherSettings settings;
    ASSERT_EQ(fillLauncherSettings(source, folder, settings), SettingsOutcome::complete);

    EXPECT_EQ(settings.productCode, L"ACME-7");
    EXPECT_EQ(settings.productName, L"Acme: Editor?");
    EXPECT_EQ(settings.minimumVersion.parts, (std::array<std::int32_t, 4>{1, 8, 0, 0}));
    EXPECT_EQ(settings.maximumVersion.parts, (std::array<std::int32_t, 4>{11, 0, 2, 65535}));
    EXPECT_TRUE(settings.isService);
    EXPECT_EQ(settings.preferredVersions, (std::vector<std::wstring>{L"11", L"1.8", L"", L"17"}));
    EXPECT_EQ(settings.jrePath, L"C:\\Apps\\Tool\\jre");
    EXPECT_EQ(settings.jvmType, kServerJvmFavored);
    EXPECT_FALSE(settings.favorMode);
    EXPECT_TRUE(settings.jdkWanted);
    EXPECT_FALSE(settings.jreWanted);
    EXPECT_TRUE(settings.sunAllowed && settings.jrockitAllowed && settings.ibmAllowed);
    EXPECT_TRUE(settings.ibmFavored);
    EXPECT_FALSE(settings.sunFavored || settings.jrockitFavored);
    EXPECT_EQ(settings.mainClass, L"com/example/App");
    EXPECT_TRUE(settings.failureCheck);
    EXPECT_TRUE(settings.overrideWorkingDir);
    EXPECT_EQ(settings.systemPath, L"C:\\tools");
    // Variables stay as written: the VM option step expands them later.
    EXPECT_EQ(settings.libraryPath, L"%APP%\\native");
    EXPECT_EQ(settings.pairProduct, L"tool32.exe");
    EXPECT_TRUE(settings.pairReturnCode);
}

TEST(SettingsModel, ExactWordsMustBeWrittenExactly)
{
    RecordingSource source;
    source.layered = parseIniText(
        L"[Java Runtime Environment]\r\nMain Class=App\r\n"
        L"Minimum Version=Any\r\nMaximum Version=ANY\r\nJVM Type=Server\r\nJVM Source=Favor_JRE\r\n"
        L"[Application]\r\nApplication Type=Service\r\nFailure Check=true\r\n");
    LauncherSettings settings;
    ASSERT_EQ(fillLauncherSettings(source, folder, settings), SettingsOutcome::complete);
    EXPECT_EQ(settings.minimumVersion.parts, (std::array<std::int32_t, 4>{0, 0, 0, 0}));
    EXPECT_EQ(settings.minimumVersion.partCount, 0);
    EXPECT_EQ(settings.maximumVersion.parts, (std::array<std::int32_t, 4>{0, 0, 0, 0}));
    EXPECT_EQ(settings.jvmType, kAnyJvm);
    EXPECT_FALSE(settings.favorMode || settings.jdkWanted || settings.jreWanted);
    EXPECT_FALSE(settings.isService);
    EXPECT_FALSE(settings.failureCheck);
}

TEST(SettingsModel, SearchInstalledRuntimesIsOnUnlessAnotherWordIsGiven)
{
    for (const auto& [text, expected] :
         std::vector<std::pair<std::wstring, bool>>{{L"", true},
                                                    {L"Search Installed Runtimes=yes\r\n", true},
                                                    {L"Search Installed Runtimes=\r\n", true},
                                                    {L"Search Installed Runtimes=Yes\r\n", false},
                                                    {L"Search Installed Runtimes=no\r\n", false}}) {
        RecordingSource source;
        source.layered =
            parseIniText(L"[Java Runtime Environment]\r\nMain Class=App\r\n" + text);
        LauncherSettings settings;
        ASSERT_EQ(fillLauncherSettings(source, folder, settings), SettingsOutcome::complete);
        EXPECT_EQ(settings.searchInstalledRuntimes, expected) << std::string(text.begin(), text.end());
    }
}

TEST(SettingsModel, ClassDataSharingIsKeptAsWritten)
{
    for (const std::wstring text : {L"", L"auto", L"off", L"Auto"}) {
        RecordingSource source;
        source.layered = parseIniText(L"[Java Runtime Environment]\r\nMain Class=App\r\n"
                                      L"Class Data Sharing=" +
                                      text + L"\r\n");
        LauncherSettings settings;
        ASSERT_EQ(fillLauncherSettings(source, folder, settings), SettingsOutcome::complete);
        EXPECT_EQ(settings.classDataSharing, text);
    }
}

TEST(SettingsModel, AnyInBothBoundsAcceptsEveryVersion)
{
    RecordingSource source;
    source.layered = parseIniText(
        L"[Java Runtime Environment]\r\nMain Class=App\r\n"
        L"Minimum Version=any\r\nMaximum Version=any\r\n");
    LauncherSettings settings;
    ASSERT_EQ(fillLauncherSettings(source, folder, settings), SettingsOutcome::complete);
    EXPECT_EQ(settings.minimumVersion.partCount, 4);
    EXPECT_EQ(settings.maximumVersion.partCount, 4);
    for (RuntimeVersion version :
         {RuntimeVersion{{0, 0, 0, 0}, 4}, RuntimeVersion{{1, 8, 0, 291}, 4},
          RuntimeVersion{{65535, 65535, 65535, 65535}, 4}}) {
        EXPECT_TRUE(versionWithinBounds(version, settings.minimumVersion, settings.maximumVersion));
    }
}

TEST(SettingsModel, ProductKeysComeFromTheFileAlone)
{
    RecordingSource source;
    source.layered = parseIniText(
        L"[Product Information]\r\nProduct Code=embedded\r\nProduct Name=embedded\r\n"
        L"[Java Runtime Environment]\r\nMain Class=App\r\n");
    LauncherSettings settings;
    ASSERT_EQ(fillLauncherSettings(source, folder, settings), SettingsOutcome::complete);
    EXPECT_EQ(settings.productCode, L"");
    EXPECT_EQ(settings.productName, L"");
}

const wchar_t withJrePath[] =
    L"[Java Runtime Environment]\r\nMain Class=App\r\nJRE Path=D:\\Java\r\n";

TEST(SettingsModel, ExistingPerUserFileAloneGivesTheJrePathOfAnApplication)
{
    RecordingSource chosenByUser;
    chosenByUser.layered = parseIniText(withJrePath);
    chosenByUser.user = parseIniText(L"[Java Runtime Environment]\r\nJRE Path=E:\\Chosen\\\r\n");
    LauncherSettings settings;
    ASSERT_EQ(fillLauncherSettings(chosenByUser, folder, settings), SettingsOutcome::complete);
    EXPECT_EQ(settings.jrePath, L"E:\\Chosen\\");

    // The per-user file exists but lacks the key: the settings file's value stays hidden.
    RecordingSource emptyUserFile;
    emptyUserFile.layered = parseIniText(withJrePath);
    emptyUserFile.user = parseIniText(L"[Other]\r\nJRE Path=F:\\x\r\n");
    ASSERT_EQ(fillLauncherSettings(emptyUserFile, folder, settings), SettingsOutcome::complete);
    EXPECT_EQ(settings.jrePath, L"");
    EXPECT_EQ(std::count(emptyUserFile.reads.begin(), emptyUserFile.reads.end(), jre(L"JRE Path")),
              0);

    // No per-user file: the settings file is asked.
    RecordingSource noUserFile;
    noUserFile.layered = parseIniText(withJrePath);
    ASSERT_EQ(fillLauncherSettings(noUserFile, folder, settings), SettingsOutcome::complete);
    EXPECT_EQ(settings.jrePath, L"D:\\Java");
}

TEST(SettingsModel, ServiceReadsItsJrePathFromTheSettingsFileOnly)
{
    RecordingSource source;
    source.layered =
        parseIniText(std::wstring(withJrePath) + L"[Application]\r\nApplication Type=service\r\n");
    source.user = parseIniText(L"[Java Runtime Environment]\r\nJRE Path=E:\\Chosen\r\n");
    LauncherSettings settings;
    ASSERT_EQ(fillLauncherSettings(source, folder, settings), SettingsOutcome::complete);
    EXPECT_EQ(settings.jrePath, L"D:\\Java");
    EXPECT_TRUE(source.userFileOwners.empty()) << "a service never looks at the per-user file";
}

TEST(SettingsModel, RelativeJrePathFromThePerUserFileIsResolvedToo)
{
    RecordingSource source;
    source.layered = parseIniText(withJrePath);
    source.user = parseIniText(L"[Java Runtime Environment]\r\nJRE Path=runtime\\jre\r\n");
    LauncherSettings settings;
    ASSERT_EQ(fillLauncherSettings(source, folder, settings), SettingsOutcome::complete);
    EXPECT_EQ(settings.jrePath, L"C:\\Apps\\Tool\\runtime\\jre");
}

}  // namespace
