#include "vm/class_data_sharing_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

RuntimeVersion version(std::int32_t feature, std::int32_t interim = 0, std::int32_t update = 0)
{
    RuntimeVersion parsed;
    parsed.parts = {feature, interim, update, 0};
    parsed.partCount = 3;
    return parsed;
}

ArchiveKey sampleKey()
{
    ArchiveKey key;
    key.runtimeHome = L"C:\\Java\\jdk-17";
    key.runtimeVersion = version(17, 0, 2);
    key.classPath = {{L"C:\\App\\app.jar", 1234, 133000000000000000ULL},
                     {L"C:\\App\\lib\\one.jar", 99, 132000000000000000ULL}};
    key.mainClass = L"com/example/Main";
    return key;
}

}  // namespace

TEST(IsClassDataSharingOption, TheJvmsOwnSharingFamily)
{
    for (const wchar_t* option :
         {L"-Xshare:auto", L"-Xshare:off", L"-Xshare:on", L"-Xshare:dump",
          L"-XX:SharedArchiveFile=C:\\a.jsa", L"-XX:ArchiveClassesAtExit=C:\\a.jsa",
          L"-XX:+AutoCreateSharedArchive", L"-XX:-AutoCreateSharedArchive",
          L"-XX:SharedClassListFile=classes.lst", L"-XX:DumpLoadedClassList=classes.lst",
          L"-XX:-UseSharedSpaces", L"-XX:+RequireSharedSpaces", L"-XX:SharedBaseAddress=0",
          L"-XX:+RecordDynamicDumpInfo", L"-XX:+VerifySharedSpaces"}) {
        EXPECT_TRUE(isClassDataSharingOption(option)) << option;
    }
}

TEST(IsClassDataSharingOption, OtherOptionsAreNot)
{
    for (const wchar_t* option :
         {L"", L"-Xmx512m", L"-Dshare=on", L"-XX:+UseG1GC", L"-XX:MaxRAM=1g", L"-XX:", L"-XX:+",
          L"-xshare:off", L"-XX:sharedArchiveFile=a", L"-Dx=-Xshare:off",
          L"-XX:ArchiveClassesAtExitX=a", L"Xshare:off", L"-XX:Flags=.hotspotrc"}) {
        EXPECT_FALSE(isClassDataSharingOption(option)) << option;
    }
}

TEST(ArchiveModeFor, VersionRule)
{
    EXPECT_EQ(archiveModeFor(std::nullopt), ArchiveMode::none);
    EXPECT_EQ(archiveModeFor(RuntimeVersion{}), ArchiveMode::none);
    EXPECT_EQ(archiveModeFor(version(1, 8, 0)), ArchiveMode::none);
    EXPECT_EQ(archiveModeFor(version(11)), ArchiveMode::none);
    EXPECT_EQ(archiveModeFor(version(12, 9, 9)), ArchiveMode::none);
    EXPECT_EQ(archiveModeFor(version(13)), ArchiveMode::writeAtExit);
    EXPECT_EQ(archiveModeFor(version(17, 0, 2)), ArchiveMode::writeAtExit);
    EXPECT_EQ(archiveModeFor(version(18, 9)), ArchiveMode::writeAtExit);
    EXPECT_EQ(archiveModeFor(version(19)), ArchiveMode::autoCreate);
    EXPECT_EQ(archiveModeFor(version(21, 0, 1)), ArchiveMode::autoCreate);
}

TEST(IsClassDataSharingAuto, AutoOrNothingOnly)
{
    EXPECT_TRUE(isClassDataSharingAuto(L""));
    EXPECT_TRUE(isClassDataSharingAuto(L"auto"));
    for (const wchar_t* setting : {L"off", L"Auto", L"AUTO", L"yes", L" auto", L"on"}) {
        EXPECT_FALSE(isClassDataSharingAuto(setting)) << setting;
    }
}

TEST(ClassPathEntries, SplitAtSemicolonsWithoutEmptyEntries)
{
    EXPECT_EQ(classPathEntries(L"C:\\a.jar;C:\\b.jar;"),
              (std::vector<std::wstring>{L"C:\\a.jar", L"C:\\b.jar"}));
    EXPECT_EQ(classPathEntries(L";;x;"), (std::vector<std::wstring>{L"x"}));
    EXPECT_TRUE(classPathEntries(L"").empty());
}

TEST(ArchiveFileName, StableAndShaped)
{
    const std::wstring name = archiveFileName(sampleKey());
    EXPECT_EQ(name, archiveFileName(sampleKey()));
    ASSERT_EQ(name.size(), 4u + 16 + 1 + 16 + 4);
    EXPECT_EQ(name.substr(0, 4), L"cds-");
    EXPECT_EQ(name.substr(name.size() - 4), L".jsa");
}

TEST(ArchiveFileName, EveryInputChangesIt)
{
    const std::wstring original = archiveFileName(sampleKey());
    std::vector<ArchiveKey> changed(8, sampleKey());
    changed[0].runtimeHome = L"C:\\Java\\jdk-17b";
    changed[1].runtimeVersion = version(17, 0, 3);
    changed[2].classPath[0].path = L"C:\\App\\app2.jar";
    changed[3].classPath[1].size = 100;
    changed[4].classPath[0].lastWriteTime += 1;
    changed[5].mainClass = L"com/example/Other";
    changed[6].classPath.pop_back();
    std::swap(changed[7].classPath[0], changed[7].classPath[1]);
    std::vector<std::wstring> names{original};
    for (const ArchiveKey& key : changed) {
        const std::wstring name = archiveFileName(key);
        for (const std::wstring& earlier : names) {
            EXPECT_NE(name, earlier);
        }
        names.push_back(name);
    }
    // Entries are kept apart: moving text between path and main class counts.
    ArchiveKey joined = sampleKey();
    joined.classPath = {{L"ab", 0, 0}};
    joined.mainClass = L"c";
    ArchiveKey split = joined;
    split.classPath = {{L"a", 0, 0}};
    split.mainClass = L"bc";
    EXPECT_NE(archiveFileName(joined), archiveFileName(split));
}

TEST(ArchiveFileName, TheRuntimePartFollowsTheRuntimeOnly)
{
    const std::wstring original = archiveFileName(sampleKey());
    ArchiveKey otherJar = sampleKey();
    otherJar.classPath[0].size = 1;
    ArchiveKey otherRuntime = sampleKey();
    otherRuntime.runtimeHome = L"C:\\Java\\jdk-21";
    EXPECT_EQ(archiveFileName(otherJar).substr(0, 20), original.substr(0, 20));
    EXPECT_NE(archiveFileName(otherRuntime).substr(0, 20), original.substr(0, 20));
}

TEST(IsOlderArchiveOfSameRuntime, SameRuntimeOtherKeyOnly)
{
    const std::wstring current = archiveFileName(sampleKey());
    ArchiveKey otherJar = sampleKey();
    otherJar.classPath[0].lastWriteTime = 1;
    const std::wstring older = archiveFileName(otherJar);
    ArchiveKey otherRuntimeKey = sampleKey();
    otherRuntimeKey.runtimeVersion = version(21);
    const std::wstring otherRuntime = archiveFileName(otherRuntimeKey);

    EXPECT_TRUE(isOlderArchiveOfSameRuntime(older, current));
    EXPECT_TRUE(isOlderArchiveOfSameRuntime(temporaryArchiveName(older), current));
    EXPECT_FALSE(isOlderArchiveOfSameRuntime(current, current));
    EXPECT_FALSE(isOlderArchiveOfSameRuntime(temporaryArchiveName(current), current));
    EXPECT_FALSE(isOlderArchiveOfSameRuntime(otherRuntime, current));
    for (const wchar_t* name : {L"", L"app.ini", L"cds-.jsa", L"cds-0-0.jsa", L"x.jsa.part"}) {
        EXPECT_FALSE(isOlderArchiveOfSameRuntime(name, current)) << name;
    }
    // Only the launcher's own lower-case names count.
    std::wstring upper = older;
    upper[5] = upper[5] >= L'a' ? L'A' : upper[5];
    upper[4] = L'G';
    EXPECT_FALSE(isOlderArchiveOfSameRuntime(upper, current));
    EXPECT_FALSE(isOlderArchiveOfSameRuntime(older + L".bak", current));
}

TEST(ArchiveLockName, OnePerArchive)
{
    EXPECT_EQ(archiveLockName(L"cds-1-2.jsa"), L"Local\\Tarvo.ClassDataSharing.cds-1-2.jsa");
    EXPECT_EQ(archiveLockName(L"cds-1-2.jsa").find(L'\\', 6), std::wstring::npos);
}

TEST(ArchiveOptions, SeventeenWritesAtExitThenMaps)
{
    ArchiveState state{ArchiveMode::writeAtExit, false, true};
    EXPECT_EQ(archiveOptions(state, L"C:\\a.jsa", L"C:\\a.jsa.part"),
              std::vector<std::wstring>{L"-XX:ArchiveClassesAtExit=C:\\a.jsa.part"});
    state.lockHeld = false;
    EXPECT_TRUE(archiveOptions(state, L"C:\\a.jsa", L"C:\\a.jsa.part").empty());
    state.archiveComplete = true;
    EXPECT_EQ(archiveOptions(state, L"C:\\a.jsa", L"C:\\a.jsa.part"),
              std::vector<std::wstring>{L"-XX:SharedArchiveFile=C:\\a.jsa"});
    state.lockHeld = true;
    EXPECT_EQ(archiveOptions(state, L"C:\\a.jsa", L"C:\\a.jsa.part"),
              std::vector<std::wstring>{L"-XX:SharedArchiveFile=C:\\a.jsa"});
}

TEST(ArchiveOptions, NineteenAndLaterCreateByThemselves)
{
    ArchiveState state{ArchiveMode::autoCreate, false, true};
    const std::vector<std::wstring> both{L"-XX:+AutoCreateSharedArchive",
                                         L"-XX:SharedArchiveFile=C:\\a.jsa"};
    EXPECT_EQ(archiveOptions(state, L"C:\\a.jsa", L"C:\\a.jsa.part"), both);
    state.archiveComplete = true;
    EXPECT_EQ(archiveOptions(state, L"C:\\a.jsa", L"C:\\a.jsa.part"), both);
    // Another start is writing: this one maps what exists and writes nothing.
    state.lockHeld = false;
    EXPECT_EQ(archiveOptions(state, L"C:\\a.jsa", L"C:\\a.jsa.part"),
              std::vector<std::wstring>{L"-XX:SharedArchiveFile=C:\\a.jsa"});
    state.archiveComplete = false;
    EXPECT_TRUE(archiveOptions(state, L"C:\\a.jsa", L"C:\\a.jsa.part").empty());
}

TEST(ArchiveOptions, NoneAddsNothing)
{
    EXPECT_TRUE(archiveOptions(ArchiveState{ArchiveMode::none, true, true}, L"a", L"b").empty());
}

TEST(Fnv1a64, KnownValues)
{
    EXPECT_EQ(fnv1a64("", 0), 14695981039346656037ULL);
    EXPECT_EQ(fnv1a64("a", 1), 0xaf63dc4c8601ec8cULL);
    EXPECT_EQ(fnv1a64("foobar", 6), 0x85944171f73967e8ULL);
}
