#include "runtime/installed_runtime_rules.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "runtime_policy_settings.h"

namespace {

enum class Jvm { client, server };

InstalledRuntime runtime(std::wstring_view home, std::wstring_view version,
                         RuntimeKind kind = RuntimeKind::jre, Jvm jvm = Jvm::server,
                         LibraryMachine machine = LibraryMachine::otherMachine)
{
    InstalledRuntime result;
    result.homeFolder = std::wstring(home);
    result.version = parseRuntimeVersion(version, kVersionFillLow).version;
    result.kind = kind;
    result.isServerJvm = jvm == Jvm::server;
    result.machine = machine;
    return result;
}

std::wstring chosenHome(const std::vector<InstalledRuntime>& found,
                        const LauncherSettings& settings,
                        LauncherBuild build = LauncherBuild::sixtyFourBit)
{
    std::optional<ChosenInstalledRuntime> chosen = chooseInstalledRuntime(found, settings, build);
    if (!chosen) {
        return L"(nothing)";
    }
    return chosen->runtime.homeFolder + (chosen->handToPair ? L" for the pair" : L"");
}

std::string versionOf(std::string_view releaseText)
{
    std::optional<RuntimeVersion> version = versionFromReleaseText(releaseText);
    if (!version) {
        return "(none)";
    }
    std::wstring text = formatRuntimeVersion(*version);
    return std::string(text.begin(), text.end());
}

}  // namespace

TEST(InstalledRuntimeLayouts, EveryRowIsReadableAndNoneIsThereTwice)
{
    std::set<std::wstring> rows;
    for (const InstalledRuntimeLayout& layout : kInstalledRuntimeLayouts) {
        EXPECT_TRUE(layout.key.starts_with(L"Software\\")) << std::string(layout.key.begin(), layout.key.end());
        EXPECT_TRUE(layout.key.ends_with(L"\\"));
        EXPECT_FALSE(layout.belowVersion.starts_with(L"\\"));
        EXPECT_FALSE(layout.belowVersion.ends_with(L"\\"));
        EXPECT_FALSE(layout.folderValueName.empty());
        // The value name is handed to the registry as a C string.
        EXPECT_EQ(layout.folderValueName.data()[layout.folderValueName.size()], L'\0');
        EXPECT_TRUE(rows.insert(std::wstring(layout.key) + L"|" + std::wstring(layout.belowVersion))
                        .second);
    }
}

TEST(InstalledRuntimeLayouts, TheValueKeyJoinsKeyVersionAndTheSubkeyBelow)
{
    const InstalledRuntimeLayout adoptium{L"Software\\Eclipse Adoptium\\JDK\\", L"hotspot\\MSI",
                                          L"Path"};
    EXPECT_EQ(installedRuntimeValueKey(adoptium, L"17.0.9.9"),
              L"Software\\Eclipse Adoptium\\JDK\\17.0.9.9\\hotspot\\MSI");
    const InstalledRuntimeLayout zulu{L"Software\\Azul Systems\\Zulu\\", L"", L"InstallationPath"};
    EXPECT_EQ(installedRuntimeValueKey(zulu, L"zulu-17"), L"Software\\Azul Systems\\Zulu\\zulu-17");

    bool hasMicrosoft = false;
    bool hasAdoptiumOpenJ9Jre = false;
    for (const InstalledRuntimeLayout& layout : kInstalledRuntimeLayouts) {
        hasMicrosoft = hasMicrosoft || (layout.key == L"Software\\Microsoft\\JDK\\" &&
                                        layout.belowVersion == L"hotspot\\MSI" &&
                                        layout.folderValueName == L"Path");
        hasAdoptiumOpenJ9Jre =
            hasAdoptiumOpenJ9Jre || (layout.key == L"Software\\Eclipse Adoptium\\JRE\\" &&
                                     layout.belowVersion == L"openj9\\MSI");
    }
    EXPECT_TRUE(hasMicrosoft);
    EXPECT_TRUE(hasAdoptiumOpenJ9Jre);
}

TEST(ReleaseFile, TheJavaVersionLineGivesTheVersion)
{
    EXPECT_EQ(versionOf("IMPLEMENTOR=\"Eclipse Adoptium\"\nJAVA_VERSION=\"17.0.9\"\n"), "17.0.9");
    EXPECT_EQ(versionOf("JAVA_VERSION=\"1.8.0_392\"\r\nOS_NAME=\"Windows\"\r\n"), "1.8.0.392");
    EXPECT_EQ(versionOf("JAVA_VERSION=21.0.1"), "21.0.1");
    EXPECT_EQ(versionOf("  JAVA_VERSION = \"11.0.2\"  \r\n"), "11.0.2");
    // Another key that only begins the same way is not the version.
    EXPECT_EQ(versionOf("JAVA_VERSION_DATE=\"2023-10-17\"\nJAVA_VERSION=\"17.0.9\"\n"), "17.0.9");
}

TEST(ReleaseFile, NoVersionLineOrNoDigitsGivesNothing)
{
    EXPECT_EQ(versionOf(""), "(none)");
    EXPECT_EQ(versionOf("IMPLEMENTOR=\"Acme\"\r\nOS_ARCH=\"amd64\"\r\n"), "(none)");
    EXPECT_EQ(versionOf("JAVA_VERSION=\"\"\n"), "(none)");
    EXPECT_EQ(versionOf("JAVA_VERSION=\"latest\"\n"), "(none)");
    EXPECT_EQ(versionOf(std::string("\x00\xff\xfe JAVA_VERSION\x01", 17)), "(none)");
    // A group beyond 32 bits is no version.
    EXPECT_EQ(versionOf("JAVA_VERSION=\"99999999999999999999\"\n"), "(none)");
    // Letters outside ASCII only separate groups.
    EXPECT_EQ(versionOf("JAVA_VERSION=\"17\xc3\xa9" "0\xc3\xa9" "9\"\n"), "17.0.9");
}

TEST(ReleaseFile, OnlyTheFirst64KiBAreLookedAt)
{
    std::string text(kReleaseFileReadLimit, ' ');
    text += "\nJAVA_VERSION=\"17\"\n";
    EXPECT_EQ(versionOf(text), "(none)");
    std::string early = "JAVA_VERSION=\"17\"\n" + std::string(10 * kReleaseFileReadLimit, 'x');
    EXPECT_EQ(versionOf(early), "17.0");
}

TEST(RegisteredFolder, OnlyAFullPathOfAUsableLengthNamesAHome)
{
    EXPECT_EQ(homeFromRegisteredFolder(L"C:\\Program Files\\Eclipse Adoptium\\jdk-17.0.9.9-hotspot\\"),
              L"C:\\Program Files\\Eclipse Adoptium\\jdk-17.0.9.9-hotspot\\");
    EXPECT_EQ(homeFromRegisteredFolder(L"D:\\zulu17"), L"D:\\zulu17\\");
    EXPECT_EQ(homeFromRegisteredFolder(L"\\\\server\\java\\jdk17"), L"\\\\server\\java\\jdk17\\");
    EXPECT_FALSE(homeFromRegisteredFolder(L""));
    EXPECT_FALSE(homeFromRegisteredFolder(L"jdk17"));
    EXPECT_FALSE(homeFromRegisteredFolder(L"..\\jdk17"));
    EXPECT_FALSE(homeFromRegisteredFolder(L"C:jdk17"));
    EXPECT_FALSE(homeFromRegisteredFolder(L"\\jdk17"));
    EXPECT_FALSE(homeFromRegisteredFolder(L"\\\\\\jdk17"));
    EXPECT_FALSE(homeFromRegisteredFolder(std::wstring(L"C:\\jdk\0evil", 11)));
    EXPECT_FALSE(homeFromRegisteredFolder(L"C:\\" + std::wstring(40000, L'a')));
}

TEST(PathFolder, ABinFolderStandsForTheHomeAboveIt)
{
    EXPECT_EQ(homeFromPathFolder(L"C:\\Program Files\\Java\\jdk-17\\bin"),
              L"C:\\Program Files\\Java\\jdk-17\\");
    EXPECT_EQ(homeFromPathFolder(L"\"C:\\jdk 17\\BIN\\\""), L"C:\\jdk 17\\");
    EXPECT_EQ(homeFromPathFolder(L"C:\\bin"), L"C:\\");
    EXPECT_FALSE(homeFromPathFolder(L"C:\\Program Files\\Common Files\\Oracle\\Java\\javapath"));
    EXPECT_FALSE(homeFromPathFolder(L"bin"));
    EXPECT_FALSE(homeFromPathFolder(L".\\bin"));
    EXPECT_FALSE(homeFromPathFolder(L"C:\\tools\\sbin"));
    EXPECT_FALSE(homeFromPathFolder(L""));
}

TEST(InstalledRuntimeChoice, TheHighestVersionWinsByDefaultAndBoundsApply)
{
    LauncherSettings settings = policySettings(L"");
    const std::vector<InstalledRuntime> found{runtime(L"C:\\a\\", L"11.0.2"),
                                              runtime(L"C:\\b\\", L"17.0.9", RuntimeKind::jdk),
                                              runtime(L"C:\\c\\", L"1.8.0_392")};
    EXPECT_EQ(chosenHome(found, settings), L"C:\\b\\");

    settings.maximumVersion = maximumVersionFromText(L"11");
    EXPECT_EQ(chosenHome(found, settings), L"C:\\a\\");
    settings.minimumVersion = minimumVersionFromText(L"12");
    EXPECT_EQ(chosenHome(found, settings), L"(nothing)");
}

TEST(InstalledRuntimeChoice, PreferredVersionsPickALowerRankedRuntime)
{
    LauncherSettings settings = policySettings(L"");
    settings.preferredVersions = {L"11", L"1.8"};
    const std::vector<InstalledRuntime> found{runtime(L"C:\\a\\", L"17"),
                                              runtime(L"C:\\b\\", L"11.0.2"),
                                              runtime(L"C:\\c\\", L"1.8.0_392")};
    EXPECT_EQ(chosenHome(found, settings), L"C:\\b\\");
    EXPECT_EQ(chosenHome({found[0], found[2]}, settings), L"C:\\c\\");
    EXPECT_EQ(chosenHome({found[0]}, settings), L"C:\\a\\");
}

TEST(InstalledRuntimeChoice, JvmSourceFiltersAndRanksByKind)
{
    const std::vector<InstalledRuntime> found{runtime(L"C:\\jdk\\", L"17", RuntimeKind::jdk),
                                              runtime(L"C:\\jre\\", L"11", RuntimeKind::jre)};
    EXPECT_EQ(chosenHome(found, policySettings(L"favor_JRE")), L"C:\\jre\\");
    EXPECT_EQ(chosenHome(found, policySettings(L"only_JRE")), L"C:\\jre\\");
    EXPECT_EQ(chosenHome(found, policySettings(L"favor_JDK")), L"C:\\jdk\\");
    EXPECT_EQ(chosenHome({found[1]}, policySettings(L"only_JDK")), L"(nothing)");
    EXPECT_EQ(chosenHome(found, policySettings(L"unknown word")), L"(nothing)");
}

TEST(InstalledRuntimeChoice, FavourServerRanksServerRuntimesFirst)
{
    const LauncherSettings settings = policySettings(L"", L"", L"favor_server");
    const std::vector<InstalledRuntime> found{
        runtime(L"C:\\client\\", L"21", RuntimeKind::jre, Jvm::client),
        runtime(L"C:\\server\\", L"11", RuntimeKind::jre, Jvm::server)};
    EXPECT_EQ(chosenHome(found, settings), L"C:\\server\\");
}

TEST(InstalledRuntimeChoice, TheSameHomeReachedTwiceCountsOnceFirstReachKept)
{
    LauncherSettings settings = policySettings(L"");
    settings.preferredVersions = {L"11"};
    // Reached from a key named 11 first, then from PATH without a version:
    // the first reach stands.
    const std::vector<InstalledRuntime> found{runtime(L"C:\\Java\\JDK\\", L"11"),
                                              runtime(L"c:\\java\\jdk\\", L"0"),
                                              runtime(L"C:\\Java\\Other\\", L"11")};
    std::optional<ChosenInstalledRuntime> chosen = chooseInstalledRuntime(
        found, settings, LauncherBuild::sixtyFourBit);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->runtime.homeFolder, L"C:\\Java\\JDK\\");

    // A duplicate outside the bounds does not hide the first reach either.
    settings.minimumVersion = minimumVersionFromText(L"10");
    EXPECT_EQ(chosenHome({found[1], found[0]}, settings), L"(nothing)");
    EXPECT_TRUE(isSameHome(L"C:\\Java\\", L"c:\\JAVA\\"));
    EXPECT_FALSE(isSameHome(L"C:\\Java\\", L"C:\\Java2\\"));
}

TEST(InstalledRuntimeChoice, X86RuntimesGoToThePairOnlyWhenNothingRunsHere)
{
    LauncherSettings settings = policySettings(L"");
    const InstalledRuntime x86 =
        runtime(L"C:\\x86\\", L"21", RuntimeKind::jre, Jvm::server, LibraryMachine::x86);
    const InstalledRuntime x64 = runtime(L"C:\\x64\\", L"11");

    // Without a pair product an x86 runtime is no candidate for the 64-bit launcher.
    EXPECT_EQ(chosenHome({x86}, settings), L"(nothing)");
    EXPECT_EQ(chosenHome({x86, x64}, settings), L"C:\\x64\\");

    settings.pairProduct = L"Acme Editor 32.exe";
    EXPECT_EQ(chosenHome({x86, x64}, settings), L"C:\\x64\\");
    EXPECT_EQ(chosenHome({x86}, settings), L"C:\\x86\\ for the pair");
}

TEST(InstalledRuntimeChoice, TheThirtyTwoBitLauncherTakesOnlyX86Runtimes)
{
    LauncherSettings settings = policySettings(L"");
    settings.pairProduct = L"Acme Editor 32.exe";
    const InstalledRuntime x86 =
        runtime(L"C:\\x86\\", L"11", RuntimeKind::jre, Jvm::server, LibraryMachine::x86);
    const InstalledRuntime x64 = runtime(L"C:\\x64\\", L"21");
    EXPECT_EQ(chosenHome({x64, x86}, settings, LauncherBuild::thirtyTwoBit), L"C:\\x86\\");
    EXPECT_EQ(chosenHome({x64}, settings, LauncherBuild::thirtyTwoBit), L"(nothing)");
}

TEST(InstalledRuntimeChoice, ALibraryOfUnknownMachineIsLeftToTheBinding)
{
    const LauncherSettings settings = policySettings(L"");
    const InstalledRuntime unknown =
        runtime(L"C:\\odd\\", L"17", RuntimeKind::jre, Jvm::server, LibraryMachine::unknown);
    EXPECT_EQ(chosenHome({unknown}, settings), L"C:\\odd\\");
    EXPECT_EQ(chosenHome({unknown}, settings, LauncherBuild::thirtyTwoBit), L"C:\\odd\\");
}
