// The class-data-sharing archive's options end to end with the test runtime,
// which records the options it got: which runtimes get which options (by
// their "release" file), "Class Data Sharing=off", a product's own sharing
// option, an unusable LOCALAPPDATA, the temporary archive renamed into place
// and older archives of the same runtime removed.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "support/java_product.h"
#include "support/test_text.h"

using namespace harness;

namespace {

using Options = std::vector<std::string>;

constexpr char kArchivePrefix[] = "-XX:SharedArchiveFile=";
constexpr char kWritePrefix[] = "-XX:ArchiveClassesAtExit=";

// The first four bytes of an archive HotSpot wrote, and some more.
const std::string kArchiveBytes("\xa8\xab\x0b\xf0 archive body", 17);

class ClassDataSharingEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(product.create());
        ASSERT_TRUE(product.sandbox().createFolder(L"Local"));
        product.environment().set(L"LOCALAPPDATA", product.sandbox().pathOf(L"Local"));
    }

    void writeRelease(std::string_view javaVersion)
    {
        ASSERT_TRUE(product.sandbox().writeFile(
            L"jre64\\release",
            "IMPLEMENTOR=\"Test\"\r\nJAVA_VERSION=\"" + std::string(javaVersion) + "\"\r\n"));
    }

    void writeSettings(std::string_view runtimeKeys = "")
    {
        ASSERT_TRUE(product.writeSettings(
            "tarvo.test.Main", "Virtual Machine Parameters=-Dfirst\r\n" + std::string(runtimeKeys),
            "[Product Information]\r\nProduct Name=Acme Editor\r\n"
            "Product Code=AE-1\r\n"));
    }

    // The options after the class path and -Dfirst, from one run that ended
    // well, without the hooks the launcher hands the VM last.
    Options addedOptions()
    {
        LauncherRun run = product.run();
        EXPECT_TRUE(run.outcome.finished);
        EXPECT_EQ(run.outcome.exitCode, 0);
        EXPECT_TRUE(run.boxes.empty());
        Options options = vmOptionsFromTrace(run.trace);
        auto first = std::find(options.begin(), options.end(), "-Dfirst");
        EXPECT_NE(first, options.end());
        if (first == options.end()) {
            return {};
        }
        Options added(first + 1, options.end());
        std::erase_if(added, [](const std::string& option) {
            return option == "abort" || option == "exit" || option == "vfprintf";
        });
        return added;
    }

    std::wstring archiveFolder() const
    {
        return product.sandbox().pathOf(L"Local\\Acme Editor\\AE-1");
    }

    std::vector<std::wstring> archiveFiles() const
    {
        std::vector<std::wstring> files = product.sandbox().filesIn(L"Local\\Acme Editor\\AE-1");
        std::sort(files.begin(), files.end());
        return files;
    }

    static std::string pathAfter(const std::string& option, std::string_view prefix)
    {
        return option.starts_with(prefix) ? option.substr(prefix.size()) : std::string();
    }

    JavaProduct product;
};

}  // namespace

TEST_F(ClassDataSharingEndToEnd, NoReleaseFileOrAnOldRuntimeAddsNothing)
{
    writeSettings();
    EXPECT_EQ(addedOptions(), Options{});
    for (const char* version : {"11.0.20", "1.8.0_392", "12"}) {
        writeRelease(version);
        EXPECT_EQ(addedOptions(), Options{}) << version;
    }
    writeRelease("");
    EXPECT_EQ(addedOptions(), Options{});
    EXPECT_FALSE(product.sandbox().exists(L"Local\\Acme Editor"));
}

TEST_F(ClassDataSharingEndToEnd, SeventeenWritesAtExitUnderATemporaryName)
{
    writeSettings();
    for (const char* version : {"13", "17.0.9", "18.0.2"}) {
        writeRelease(version);
        const Options added = addedOptions();
        ASSERT_EQ(added.size(), 1u) << version;
        const std::string temporary = pathAfter(added[0], kWritePrefix);
        const std::string folder = toUtf8(archiveFolder()) + "\\cds-";
        EXPECT_TRUE(temporary.starts_with(folder)) << added[0];
        EXPECT_TRUE(temporary.ends_with(".jsa.part")) << added[0];
    }
    // The folder is made; the test runtime writes no archive.
    EXPECT_TRUE(product.sandbox().exists(L"Local\\Acme Editor\\AE-1"));
}

TEST_F(ClassDataSharingEndToEnd, CompleteTemporaryArchiveIsRenamedIntoPlaceAndMapped)
{
    writeSettings();
    writeRelease("17.0.9");
    const Options first = addedOptions();
    ASSERT_EQ(first.size(), 1u);
    const std::string temporary = pathAfter(first[0], kWritePrefix);
    ASSERT_FALSE(temporary.empty());
    const std::string archive = temporary.substr(0, temporary.size() - 5);
    // As a JVM would have left it at its exit.
    const std::wstring temporaryName = fromUtf8(temporary.substr(temporary.rfind('\\') + 1));
    ASSERT_TRUE(
        product.sandbox().writeFile(L"Local\\Acme Editor\\AE-1\\" + temporaryName, kArchiveBytes));

    EXPECT_EQ(addedOptions(), Options{kArchivePrefix + archive});
    EXPECT_EQ(archiveFiles(),
              std::vector<std::wstring>{fromUtf8(archive.substr(archive.rfind('\\') + 1))});
    EXPECT_EQ(addedOptions(), Options{kArchivePrefix + archive});
}

TEST_F(ClassDataSharingEndToEnd, IncompleteTemporaryArchiveIsWrittenAgain)
{
    writeSettings();
    writeRelease("17");
    const Options first = addedOptions();
    ASSERT_EQ(first.size(), 1u);
    const std::string temporary = pathAfter(first[0], kWritePrefix);
    const std::wstring temporaryName = fromUtf8(temporary.substr(temporary.rfind('\\') + 1));
    ASSERT_TRUE(product.sandbox().writeFile(L"Local\\Acme Editor\\AE-1\\" + temporaryName, "cut"));
    EXPECT_EQ(addedOptions(), first);
}

TEST_F(ClassDataSharingEndToEnd, NineteenAndLaterCreateByThemselves)
{
    writeSettings();
    for (const char* version : {"19", "21.0.1", "25"}) {
        writeRelease(version);
        const Options added = addedOptions();
        ASSERT_EQ(added.size(), 2u) << version;
        EXPECT_EQ(added[0], "-XX:+AutoCreateSharedArchive");
        const std::string archive = pathAfter(added[1], kArchivePrefix);
        EXPECT_TRUE(archive.starts_with(toUtf8(archiveFolder()) + "\\cds-")) << added[1];
        EXPECT_TRUE(archive.ends_with(".jsa")) << added[1];
    }
}

TEST_F(ClassDataSharingEndToEnd, OffOrAnyOtherWordAddsNothing)
{
    writeRelease("21");
    for (const char* setting : {"off", "Auto", "no"}) {
        writeSettings("Class Data Sharing=" + std::string(setting) + "\r\n");
        EXPECT_EQ(addedOptions(), Options{}) << setting;
    }
    writeSettings("Class Data Sharing=auto\r\n");
    EXPECT_EQ(addedOptions().size(), 2u);
}

TEST_F(ClassDataSharingEndToEnd, TheProductsOwnSharingOptionWins)
{
    writeRelease("21");
    for (const char* option :
         {"-Xshare:off", "-XX:SharedArchiveFile=C:\\mine.jsa",
          "-XX:ArchiveClassesAtExit=C:\\mine.jsa", "-XX:+AutoCreateSharedArchive"}) {
        ASSERT_TRUE(product.writeSettings("tarvo.test.Main", "Virtual Machine Parameters=-Dfirst " +
                                                                 std::string(option) + "\r\n"));
        EXPECT_EQ(addedOptions(), Options{option});
    }
}

TEST_F(ClassDataSharingEndToEnd, NoUsableLocalAppDataAddsNothing)
{
    writeSettings();
    writeRelease("21");
    product.environment().set(L"LOCALAPPDATA", L"relative\\folder");
    EXPECT_EQ(addedOptions(), Options{});
    product.environment().remove(L"LOCALAPPDATA");
    EXPECT_EQ(addedOptions(), Options{});
    // A file where the folder should be: nothing can be made below it.
    ASSERT_TRUE(product.sandbox().writeFile(L"Blocked", "file"));
    product.environment().set(L"LOCALAPPDATA", product.sandbox().pathOf(L"Blocked"));
    EXPECT_EQ(addedOptions(), Options{});
}

TEST_F(ClassDataSharingEndToEnd, ChangedJarGivesANewArchiveAndTheOldOneGoes)
{
    writeSettings();
    writeRelease("21");
    const Options first = addedOptions();
    ASSERT_EQ(first.size(), 2u);
    const std::string oldArchive = pathAfter(first[1], kArchivePrefix);
    const std::wstring oldName = fromUtf8(oldArchive.substr(oldArchive.rfind('\\') + 1));
    ASSERT_TRUE(
        product.sandbox().writeFile(L"Local\\Acme Editor\\AE-1\\" + oldName, kArchiveBytes));
    // The JVM writes its archives read-only.
    ASSERT_TRUE(SetFileAttributesW(
        product.sandbox().pathOf(L"Local\\Acme Editor\\AE-1\\" + oldName).c_str(),
        FILE_ATTRIBUTE_READONLY));
    // An archive of another runtime stays.
    const std::wstring otherRuntime = L"cds-0123456789abcdef-0123456789abcdef.jsa";
    ASSERT_TRUE(
        product.sandbox().writeFile(L"Local\\Acme Editor\\AE-1\\" + otherRuntime, kArchiveBytes));
    EXPECT_EQ(addedOptions(), first);

    ASSERT_TRUE(product.sandbox().writeFile(L"app.jar", "a changed jar"));
    const Options second = addedOptions();
    ASSERT_EQ(second.size(), 2u);
    const std::string newArchive = pathAfter(second[1], kArchivePrefix);
    EXPECT_NE(newArchive, oldArchive);
    // Not removed before the new one exists.
    EXPECT_TRUE(product.sandbox().exists(L"Local\\Acme Editor\\AE-1\\" + oldName));

    const std::wstring newName = fromUtf8(newArchive.substr(newArchive.rfind('\\') + 1));
    ASSERT_TRUE(
        product.sandbox().writeFile(L"Local\\Acme Editor\\AE-1\\" + newName, kArchiveBytes));
    EXPECT_EQ(addedOptions(), second);
    std::vector<std::wstring> expected{newName, otherRuntime};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(archiveFiles(), expected);
}
