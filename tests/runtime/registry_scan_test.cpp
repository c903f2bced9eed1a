#include "runtime/registry_scan.h"

#include <gtest/gtest.h>

#include "fake_runtime_registry.h"
#include "runtime_folders.h"
#include "runtime_policy_settings.h"

namespace {

std::wstring chosenHome(const std::optional<RegisteredRuntime>& runtime)
{
    return runtime ? runtime->homeFolder : L"(nothing)";
}

}  // namespace

class RegistryScan : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folders.created());
        server = folders.makeHome(L"server", {kJavaDllFile, kServerJvmFile});
        client = folders.makeHome(L"client", {kJavaDllFile, kClientJvmFile});
        both = folders.makeHome(L"both", {kJavaDllFile, kClientJvmFile, kServerJvmFile});
    }

    std::optional<RegisteredRuntime> scan(const LauncherSettings& settings,
                                          RegistryView view = RegistryView::defaultView)
    {
        return scanRegistryRuntimes(settings, view, registry);
    }

    RuntimeFolders folders;
    FakeRuntimeRegistry registry;
    std::wstring server;  // registered home folders, without a trailing backslash
    std::wstring client;
    std::wstring both;
};

TEST_F(RegistryScan, OnlyJdkNeverReadsTheJreKeys)
{
    const std::wstring jdk =
        folders.makeHome(L"jdk", {kJavaDllFile, kServerJvmFile, L"jre\\bin\\server\\jvm.dll"});
    for (int keyNumber = 1; keyNumber <= 7; ++keyNumber) {
        registry.addRuntime(keyNumber, std::to_wstring(10 + keyNumber), jdk);
    }
    const std::optional<RegisteredRuntime> chosen = scan(policySettings(L"only_JDK", L"any"));

    EXPECT_EQ(registry.listedKeys(), (std::vector<int>{1, 3, 6}));
    const std::vector<std::wstring> expectedReads{
        std::wstring(FakeRuntimeRegistry::vendorKey(1).path) + L"11",
        std::wstring(FakeRuntimeRegistry::vendorKey(3).path) + L"13",
        std::wstring(FakeRuntimeRegistry::vendorKey(6).path) + L"16"};
    EXPECT_EQ(registry.readSubkeys(), expectedReads);
    // The JRockit JDK at 16 is the highest JDK; its runtime is its "jre" folder.
    EXPECT_EQ(chosenHome(chosen), jdk + L"\\jre\\");
}

TEST_F(RegistryScan, UnrecognisedJvmSourceReadsNoKey)
{
    for (int keyNumber = 1; keyNumber <= 7; ++keyNumber) {
        registry.addRuntime(keyNumber, L"17", both);
    }
    EXPECT_EQ(scan(policySettings(L"JRE", L"any")), std::nullopt);
    EXPECT_TRUE(registry.listedKeys().empty());
    EXPECT_TRUE(registry.readSubkeys().empty());
}

TEST_F(RegistryScan, DefaultSettingsReadTheJavaSoftKeysAndTakeTheHighestVersion)
{
    registry.addRuntime(4, L"1.8.0_291", server);
    registry.addRuntime(1, L"17", client);
    registry.addRuntime(7, L"21", both);
    const std::optional<RegisteredRuntime> chosen = scan(policySettings(L""));
    EXPECT_EQ(registry.listedKeys(), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(chosenHome(chosen), client + L"\\");
    ASSERT_TRUE(chosen);
    EXPECT_EQ(formatRuntimeVersion(chosen->version), L"17.0");
    EXPECT_FALSE(chosen->foundInThirtyTwoBitView);
}

TEST_F(RegistryScan, ServerPolicyRejectsAClientOnlyHomeWhileFavouringAcceptsIt)
{
    registry.addRuntime(1, L"17", client);
    EXPECT_EQ(scan(policySettings(L"", L"", L"server")), std::nullopt);
    EXPECT_EQ(chosenHome(scan(policySettings(L"", L"", L"favor_server"))), client + L"\\");

    std::vector<RuntimeCandidate> candidates;
    scanRuntimeKey(FakeRuntimeRegistry::vendorKey(1), policySettings(L"", L"", L"favor_server"),
                   RegistryView::defaultView, registry, candidates);
    ASSERT_EQ(candidates.size(), 1u);
    EXPECT_FALSE(candidates[0].isServerJvm);
}

TEST_F(RegistryScan, OldJreKeyIsProbedInTheGeneralOrderWhenServerIsFavoured)
{
    const LauncherSettings favorServer = policySettings(L"", L"", L"favor_server");
    registry.addRuntime(4, L"17", both);
    registry.addRuntime(2, L"11", both);

    std::vector<RuntimeCandidate> candidates;
    scanRuntimeKey(FakeRuntimeRegistry::vendorKey(4), favorServer, RegistryView::defaultView,
                   registry, candidates);
    scanRuntimeKey(FakeRuntimeRegistry::vendorKey(2), favorServer, RegistryView::defaultView,
                   registry, candidates);
    ASSERT_EQ(candidates.size(), 2u);
    EXPECT_FALSE(candidates[0].isServerJvm) << "key 4 takes the client JVM";
    EXPECT_TRUE(candidates[1].isServerJvm) << "key 2 takes the favoured server JVM";

    // The server runtime of key 2 outranks the higher version of key 4.
    const std::optional<RegisteredRuntime> chosen = scan(favorServer);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(formatRuntimeVersion(chosen->version), L"11.0");

    // A server-only policy is not relaxed there.
    FakeRuntimeRegistry clientOnly;
    clientOnly.addRuntime(4, L"17", client);
    EXPECT_EQ(scanRegistryRuntimes(policySettings(L"", L"", L"server"), RegistryView::defaultView,
                                   clientOnly),
              std::nullopt);
}

TEST_F(RegistryScan, RegisteredJdksLeadToTheirJreFolder)
{
    const std::wstring jdk = folders.makeHome(L"jdk1.8", {L"jre\\bin\\client\\jvm.dll"});
    registry.addRuntime(3, L"1.8.0_291", jdk);
    registry.addRuntime(3, L"1.8.0_202", jdk + L"\\");
    // Key 1 takes the registered folder itself, which has no JVM of its own.
    registry.addRuntime(1, L"1.8.0_301", jdk);

    std::vector<RuntimeCandidate> candidates;
    const LauncherSettings settings = policySettings(L"");
    for (int keyNumber : {1, 3}) {
        scanRuntimeKey(FakeRuntimeRegistry::vendorKey(keyNumber), settings,
                       RegistryView::defaultView, registry, candidates);
    }
    ASSERT_EQ(candidates.size(), 2u);
    EXPECT_EQ(candidates[0].homeFolder, jdk + L"\\jre\\");
    EXPECT_EQ(candidates[1].homeFolder, jdk + L"\\jre\\");

    FakeRuntimeRegistry jrockit;
    jrockit.addRuntime(6, L"28", jdk);
    EXPECT_EQ(chosenHome(scanRegistryRuntimes(policySettings(L"", L"jrockit"),
                                              RegistryView::defaultView, jrockit)),
              jdk + L"\\jre\\");
}

TEST_F(RegistryScan, VersionBoundsAreInclusiveAndCheckedBeforeTheHomeIsRead)
{
    LauncherSettings settings = policySettings(L"");
    settings.minimumVersion = minimumVersionFromText(L"1.8.0_291");
    settings.maximumVersion = maximumVersionFromText(L"11.0.2.5");
    registry.addRuntime(1, L"11.0.2.6", server);
    registry.addRuntime(1, L"1.8.0_202", server);
    registry.addRuntime(2, L"11.0.2.5", client);
    registry.addRuntime(2, L"1.8.0_291", both);

    const std::optional<RegisteredRuntime> chosen = scan(settings);
    EXPECT_EQ(chosenHome(chosen), client + L"\\");
    const std::wstring jreKey(FakeRuntimeRegistry::vendorKey(2).path);
    EXPECT_EQ(registry.readSubkeys(),
              (std::vector<std::wstring>{jreKey + L"11.0.2.5", jreKey + L"1.8.0_291"}));

    settings.preferredVersions = {L"1.8"};
    EXPECT_EQ(chosenHome(scan(settings)), both + L"\\");
}

TEST_F(RegistryScan, UnnumberedSubkeyPassesOnlyANoughtMinimum)
{
    registry.addRuntime(4, L"current", server);
    EXPECT_EQ(chosenHome(scan(policySettings(L""))), server + L"\\");

    LauncherSettings settings = policySettings(L"");
    settings.minimumVersion = minimumVersionFromText(L"1.8");
    EXPECT_EQ(scan(settings), std::nullopt);
}

TEST_F(RegistryScan, SubkeysWithoutAUsableJavaHomeAreSkipped)
{
    registry.addRuntime(1, L"21", L"");
    registry.addRuntime(1, L"19", std::nullopt);
    registry.addRuntime(1, L"18", folders.pathOf(L"missing"));
    registry.addRuntime(1, L"11", client);
    EXPECT_EQ(chosenHome(scan(policySettings(L""))), client + L"\\");
    EXPECT_EQ(registry.readSubkeys().size(), 4u);
}

TEST_F(RegistryScan, ThirtyTwoBitViewIsReadOnlyForAPairProduct)
{
    registry.addRuntime(1, L"17", client, RegistryView::thirtyTwoBitView);
    LauncherSettings settings = policySettings(L"");

    EXPECT_EQ(scan(settings, RegistryView::thirtyTwoBitView), std::nullopt);
    EXPECT_TRUE(registry.listedKeys().empty());
    EXPECT_EQ(scan(settings, RegistryView::defaultView), std::nullopt);

    settings.pairProduct = L"tarvo32.exe";
    const std::optional<RegisteredRuntime> chosen = scan(settings, RegistryView::thirtyTwoBitView);
    EXPECT_EQ(chosenHome(chosen), client + L"\\");
    EXPECT_TRUE(chosen && chosen->foundInThirtyTwoBitView);
}
