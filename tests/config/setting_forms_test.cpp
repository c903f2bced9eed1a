#include "config/setting_forms.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace {

TEST(SettingForms, YesFlagsIgnoreLetterCaseWhileExactYesDoesNot)
{
    for (const wchar_t* on : {L"Yes", L"yes", L"YES", L"yEs"}) {
        EXPECT_TRUE(isYesIgnoringCase(on)) << on;
    }
    for (const wchar_t* off : {L"", L"Ye", L"Yess", L" Yes", L"true", L"1", L"Ja"}) {
        EXPECT_FALSE(isYesIgnoringCase(off)) << off;
    }
    EXPECT_TRUE(isExactlyYes(L"yes"));
    for (const wchar_t* off : {L"Yes", L"YES", L"", L"yes "}) {
        EXPECT_FALSE(isExactlyYes(off)) << off;
    }
}

TEST(SettingForms, LetterCaseIsIgnoredForLatinLettersOnly)
{
    EXPECT_TRUE(equalsIgnoringCase(L"FAVOR_JROCKIT", L"favor_jrockit"));
    EXPECT_FALSE(equalsIgnoringCase(L"favor_jrockit", L"favor_jrocki"));
    EXPECT_FALSE(equalsIgnoringCase(L"ibm", L"ibm "));
    // Letters outside A to Z match themselves only.
    EXPECT_TRUE(equalsIgnoringCase(L"\u00e4", L"\u00e4"));
    EXPECT_FALSE(equalsIgnoringCase(L"\u00c4", L"\u00e4"));
    // "@" and "[" sit right beside the capital letters and must not fold.
    EXPECT_FALSE(equalsIgnoringCase(L"@", L"`"));
    EXPECT_FALSE(equalsIgnoringCase(L"[", L"{"));
}

TEST(SettingForms, JvmTypeWordsAreExact)
{
    EXPECT_EQ(jvmTypeFromText(L"server"), kServerJvmOnly);
    EXPECT_EQ(jvmTypeFromText(L"favor_server"), kServerJvmFavored);
    for (const wchar_t* other :
         {L"", L"Server", L"SERVER", L"client", L"favor_Server", L"server "}) {
        EXPECT_EQ(jvmTypeFromText(other), kAnyJvm) << other;
    }
}

struct JvmSourceRow {
    const wchar_t* text;
    bool favorMode;
    bool jdkWanted;
    bool jreWanted;
};

TEST(SettingForms, JvmSourceWordsSetTheThreeFlags)
{
    const JvmSourceRow rows[] = {
        {L"favor_JRE", true, false, true},   {L"favor_JDK", true, true, false},
        {L"only_JRE", false, false, true},   {L"only_JDK", false, true, false},
        {L"favor_jre", false, false, false}, {L"ONLY_JDK", false, false, false},
        {L"anything", false, false, false},
    };
    for (const JvmSourceRow& row : rows) {
        // Start from the opposite of what is expected, so every flag is seen to be set.
        LauncherSettings settings;
        settings.favorMode = !row.favorMode;
        settings.jdkWanted = !row.jdkWanted;
        settings.jreWanted = !row.jreWanted;
        applyJvmSource(row.text, settings);
        EXPECT_EQ(settings.favorMode, row.favorMode) << row.text;
        EXPECT_EQ(settings.jdkWanted, row.jdkWanted) << row.text;
        EXPECT_EQ(settings.jreWanted, row.jreWanted) << row.text;
    }
}

TEST(SettingForms, EmptyJvmSourceWantsBothKindsAndLeavesFavorModeAlone)
{
    for (bool favorMode : {true, false}) {
        LauncherSettings settings;
        settings.favorMode = favorMode;
        applyJvmSource(L"", settings);
        EXPECT_EQ(settings.favorMode, favorMode);
        EXPECT_TRUE(settings.jdkWanted);
        EXPECT_TRUE(settings.jreWanted);
    }
}

// sunAllowed, sunFavored, jrockitAllowed, jrockitFavored, ibmAllowed, ibmFavored
using VendorFlags = std::array<bool, 6>;

VendorFlags vendorFlagsOf(const LauncherSettings& settings)
{
    return {settings.sunAllowed,     settings.sunFavored, settings.jrockitAllowed,
            settings.jrockitFavored, settings.ibmAllowed, settings.ibmFavored};
}

TEST(SettingForms, VmProviderWordsSetAllSixFlagsIgnoringLetterCase)
{
    const std::pair<const wchar_t*, VendorFlags> rows[] = {
        {L"jrockit", {false, false, true, true, false, false}},
        {L"ibm", {false, false, false, false, true, true}},
        {L"IBM", {false, false, false, false, true, true}},
        {L"favor_sun", {true, true, true, false, true, false}},
        {L"favor_jrockit", {true, false, true, true, true, false}},
        {L"Favor_JRockit", {true, false, true, true, true, false}},
        {L"favor_ibm", {true, false, true, false, true, true}},
        {L"any", {true, false, true, false, true, false}},
        {L"ANY", {true, false, true, false, true, false}},
    };
    for (const auto& [text, expected] : rows) {
        LauncherSettings settings;
        applyVmProvider(text, settings);
        EXPECT_EQ(vendorFlagsOf(settings), expected) << text;
    }
}

TEST(SettingForms, UnknownOrEmptyVmProviderLeavesTheFlagsAsTheyWere)
{
    const VendorFlags defaults = {true, true, false, false, false, false};
    for (const wchar_t* text : {L"", L"sun", L"oracle", L"ibm ", L"favor"}) {
        LauncherSettings settings;
        applyVmProvider(text, settings);
        EXPECT_EQ(vendorFlagsOf(settings), defaults) << text;
    }
    // Nothing is reset to defaults either: the flags are simply not touched.
    LauncherSettings changed;
    changed.ibmAllowed = true;
    changed.sunFavored = false;
    applyVmProvider(L"unknown", changed);
    EXPECT_EQ(vendorFlagsOf(changed), (VendorFlags{true, false, false, false, true, false}));
}

TEST(SettingForms, AbsolutePathsAreDriveOrNetworkPaths)
{
    for (const wchar_t* absolute :
         {L"D:\\Java", L"d:", L"C:relative", L"\\\\server\\share\\jre", L"\\\\", L"x:\\"}) {
        EXPECT_TRUE(isAbsoluteSettingPath(absolute)) << absolute;
    }
    for (const wchar_t* relative :
         {L"", L"j", L"\\", L"\\Java", L"jre", L"..\\jre", L"/Java", L"jre:x", L"//server/share"}) {
        EXPECT_FALSE(isAbsoluteSettingPath(relative)) << relative;
    }
}

TEST(SettingForms, RelativeJrePathIsPutUnderTheExecutableFolder)
{
    const wchar_t folder[] = L"C:\\Apps\\Tool";
    EXPECT_EQ(resolveJrePath(L"jre", folder), L"C:\\Apps\\Tool\\jre");
    EXPECT_EQ(resolveJrePath(L"D:\\Java", folder), L"D:\\Java");
    EXPECT_EQ(resolveJrePath(L"\\\\server\\share\\jre", folder), L"\\\\server\\share\\jre");
    // A single leading backslash is relative too and keeps its backslash.
    EXPECT_EQ(resolveJrePath(L"\\Java", folder), L"C:\\Apps\\Tool\\\\Java");
    EXPECT_EQ(resolveJrePath(L"..\\jre", folder), L"C:\\Apps\\Tool\\..\\jre");
    EXPECT_EQ(resolveJrePath(L"j", folder), L"C:\\Apps\\Tool\\j");
    EXPECT_EQ(resolveJrePath(L"", folder), L"");
    // An executable in the root folder: its folder is the bare drive.
    EXPECT_EQ(resolveJrePath(L"jre", L"C:"), L"C:\\jre");
}

TEST(SettingForms, RelativePairProductIsTakenUnderTheExecutablesFolder)
{
    const std::wstring folder = L"C:\\Apps\\Tool";
    EXPECT_EQ(resolvePairProduct(L"Acme Editor 32.exe", folder),
              L"C:\\Apps\\Tool\\Acme Editor 32.exe");
    EXPECT_EQ(resolvePairProduct(L"x86\\acme32.exe", folder), L"C:\\Apps\\Tool\\x86\\acme32.exe");
    EXPECT_EQ(resolvePairProduct(L"D:\\x86\\acme32.exe", folder), L"D:\\x86\\acme32.exe");
    EXPECT_EQ(resolvePairProduct(L"\\\\server\\share\\acme32.exe", folder),
              L"\\\\server\\share\\acme32.exe");
    EXPECT_EQ(resolvePairProduct(L"", folder), L"");
}

TEST(SettingForms, MainClassDotsBecomeSlashes)
{
    EXPECT_EQ(mainClassFromText(L"com.example.App"), L"com/example/App");
    EXPECT_EQ(mainClassFromText(L"com/example/App"), L"com/example/App");
    EXPECT_EQ(mainClassFromText(L"com.example/inner.App$Start"), L"com/example/inner/App$Start");
    EXPECT_EQ(mainClassFromText(L"App"), L"App");
    EXPECT_EQ(mainClassFromText(L".."), L"//");
}

TEST(SettingForms, EmptyMaximumVersionSetsNoUpperBound)
{
    RuntimeVersion emptyBound = maximumVersionSetting(L"");
    EXPECT_EQ(emptyBound.parts, (std::array<std::int32_t, 4>{65535, 65535, 65535, 65535}));
    EXPECT_EQ(emptyBound.partCount, 4);
    RuntimeVersion newest{{99, 0, 0, 0}, 1};
    EXPECT_TRUE(versionWithinBounds(newest, minimumVersionFromText(L""), emptyBound));

    EXPECT_EQ(maximumVersionSetting(L"any").parts, emptyBound.parts);
    EXPECT_EQ(maximumVersionSetting(L"1.8").parts,
              (std::array<std::int32_t, 4>{1, 8, 65535, 65535}));
    // Only the empty text is spared: a word that is not a version stays what it reads as.
    EXPECT_EQ(maximumVersionSetting(L"Any").parts, (std::array<std::int32_t, 4>{0, 0, 0, 0}));
}

}  // namespace
