#include "runtime/runtime_ranking.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/runtime_vendor_keys.h"
#include "runtime_policy_settings.h"

namespace {

enum class Jvm { client, server };

// A candidate as the scan would record it under the key with that number
// (1 to 7): preferred by the key's rule, its home named after key and version.
RuntimeCandidate candidate(int keyNumber, std::wstring_view subkeyName,
                           const LauncherSettings& settings, Jvm jvm = Jvm::client)
{
    const RuntimeVendorKey& key = kRuntimeVendorKeys.at(static_cast<std::size_t>(keyNumber - 1));
    RuntimeCandidate result;
    result.version = parseRuntimeVersion(subkeyName, kVersionFillLow).version;
    result.homeFolder =
        L"C:\\key" + std::to_wstring(keyNumber) + L"\\" + std::wstring(subkeyName) + L"\\";
    result.isServerJvm = jvm == Jvm::server;
    result.isPreferred = isVendorKeyPreferred(key, settings);
    return result;
}

std::vector<std::wstring> homesOf(const std::vector<RuntimeCandidate>& candidates)
{
    std::vector<std::wstring> homes;
    for (const RuntimeCandidate& item : candidates) {
        homes.push_back(item.homeFolder);
    }
    return homes;
}

std::vector<std::wstring> ranked(std::vector<RuntimeCandidate> candidates,
                                 const LauncherSettings& settings)
{
    rankCandidates(candidates, settings);
    return homesOf(candidates);
}

std::wstring picked(std::vector<RuntimeCandidate> candidates, const LauncherSettings& settings)
{
    std::optional<RuntimeCandidate> chosen = pickCandidate(std::move(candidates), settings);
    return chosen ? chosen->homeFolder : L"(nothing)";
}

using Homes = std::vector<std::wstring>;

}  // namespace

TEST(RankCandidates, ByDefaultTheHighestJavaSoftVersionWins)
{
    const LauncherSettings settings = policySettings(L"");
    const std::vector<RuntimeCandidate> found{candidate(1, L"11.0.2", settings),
                                              candidate(1, L"17", settings),
                                              candidate(4, L"1.8.0_291", settings)};
    for (const RuntimeCandidate& item : found) {
        EXPECT_TRUE(item.isPreferred);
    }
    EXPECT_EQ(ranked(found, settings),
              (Homes{L"C:\\key1\\17\\", L"C:\\key1\\11.0.2\\", L"C:\\key4\\1.8.0_291\\"}));
    EXPECT_EQ(
        picked({candidate(1, L"17", settings), candidate(4, L"1.8.0_291", settings)}, settings),
        L"C:\\key1\\17\\");
}

TEST(RankCandidates, FavouredKindOutranksAHigherVersion)
{
    const LauncherSettings favorJre = policySettings(L"favor_JRE");
    EXPECT_EQ(picked({candidate(1, L"17", favorJre), candidate(4, L"1.8", favorJre)}, favorJre),
              L"C:\\key4\\1.8\\");

    const LauncherSettings favorJdk = policySettings(L"favor_JDK");
    EXPECT_EQ(ranked({candidate(2, L"21", favorJdk), candidate(1, L"1.8", favorJdk),
                      candidate(4, L"17", favorJdk), candidate(3, L"11", favorJdk)},
                     favorJdk),
              (Homes{L"C:\\key3\\11\\", L"C:\\key1\\1.8\\", L"C:\\key2\\21\\", L"C:\\key4\\17\\"}));
}

TEST(RankCandidates, OnlyModesRankByVersionWhateverIsPreferred)
{
    // JRockit's JDK is preferred under "favor_jrockit", but "only_JDK" turns
    // preference off, so the higher Sun version comes first.
    const LauncherSettings onlyJdk = policySettings(L"only_JDK", L"favor_jrockit");
    const RuntimeCandidate sun = candidate(1, L"17", onlyJdk);
    const RuntimeCandidate jrockit = candidate(6, L"1.8", onlyJdk);
    ASSERT_FALSE(sun.isPreferred);
    ASSERT_TRUE(jrockit.isPreferred);
    EXPECT_EQ(ranked({jrockit, sun}, onlyJdk), (Homes{L"C:\\key1\\17\\", L"C:\\key6\\1.8\\"}));

    const LauncherSettings favorJdk = policySettings(L"favor_JDK", L"favor_jrockit");
    EXPECT_EQ(ranked({candidate(1, L"17", favorJdk), candidate(6, L"1.8", favorJdk)}, favorJdk),
              (Homes{L"C:\\key6\\1.8\\", L"C:\\key1\\17\\"}));
}

TEST(RankCandidates, IbmAloneRanksByVersionWhileFavorIbmPutsIbmFirst)
{
    const LauncherSettings ibm = policySettings(L"", L"ibm");
    EXPECT_EQ(ranked({candidate(7, L"1.8", ibm), candidate(7, L"11", ibm)}, ibm),
              (Homes{L"C:\\key7\\11\\", L"C:\\key7\\1.8\\"}));

    const LauncherSettings favorIbm = policySettings(L"", L"favor_ibm");
    EXPECT_EQ(ranked({candidate(1, L"17", favorIbm), candidate(5, L"21", favorIbm),
                      candidate(7, L"1.8", favorIbm)},
                     favorIbm),
              (Homes{L"C:\\key7\\1.8\\", L"C:\\key5\\21\\", L"C:\\key1\\17\\"}));

    // Without favorMode IBM is merely allowed to compete.
    const LauncherSettings onlyJre = policySettings(L"only_JRE", L"favor_ibm");
    EXPECT_EQ(ranked({candidate(2, L"17", onlyJre), candidate(7, L"1.8", onlyJre)}, onlyJre),
              (Homes{L"C:\\key2\\17\\", L"C:\\key7\\1.8\\"}));
}

TEST(RankCandidates, FavouredServerRanksBeforeClientWhateverTheVersions)
{
    const LauncherSettings favorServer = policySettings(L"", L"", L"favor_server");
    const std::vector<RuntimeCandidate> found{candidate(1, L"17", favorServer, Jvm::client),
                                              candidate(1, L"1.8", favorServer, Jvm::server),
                                              candidate(2, L"11", favorServer, Jvm::client),
                                              candidate(2, L"9", favorServer, Jvm::server)};
    EXPECT_EQ(ranked(found, favorServer),
              (Homes{L"C:\\key2\\9\\", L"C:\\key1\\1.8\\", L"C:\\key1\\17\\", L"C:\\key2\\11\\"}));

    const LauncherSettings anyJvm = policySettings(L"");
    EXPECT_EQ(ranked(found, anyJvm),
              (Homes{L"C:\\key1\\17\\", L"C:\\key2\\11\\", L"C:\\key2\\9\\", L"C:\\key1\\1.8\\"}));

    // Preference still comes before the server JVM.
    const LauncherSettings favorJre = policySettings(L"favor_JRE", L"", L"favor_server");
    EXPECT_EQ(ranked({candidate(1, L"17", favorJre, Jvm::server),
                      candidate(2, L"11", favorJre, Jvm::client)},
                     favorJre),
              (Homes{L"C:\\key2\\11\\", L"C:\\key1\\17\\"}));
}

TEST(RankCandidates, EqualCandidatesKeepTheirScanOrder)
{
    const LauncherSettings settings = policySettings(L"");
    std::vector<RuntimeCandidate> found{
        candidate(1, L"1.8", settings), candidate(2, L"11", settings),
        candidate(3, L"1.8.0", settings), candidate(4, L"1.8.0.0", settings),
        candidate(2, L"1_8", settings)};
    EXPECT_EQ(ranked(found, settings),
              (Homes{L"C:\\key2\\11\\", L"C:\\key1\\1.8\\", L"C:\\key3\\1.8.0\\",
                     L"C:\\key4\\1.8.0.0\\", L"C:\\key2\\1_8\\"}));
}

TEST(RankCandidates, LongerVersionOfTheSameFamilyRanksFirst)
{
    const LauncherSettings settings = policySettings(L"");
    EXPECT_EQ(
        ranked({candidate(4, L"1.8", settings), candidate(4, L"1.8.0_291", settings)}, settings),
        (Homes{L"C:\\key4\\1.8.0_291\\", L"C:\\key4\\1.8\\"}));
}

TEST(RankCandidates, NameWithoutDigitsRanksAfterNumberedVersions)
{
    const LauncherSettings settings = policySettings(L"");
    EXPECT_EQ(ranked({candidate(1, L"latest", settings), candidate(1, L"1.8.0_291", settings),
                      candidate(2, L"9", settings)},
                     settings),
              (Homes{L"C:\\key2\\9\\", L"C:\\key1\\1.8.0_291\\", L"C:\\key1\\latest\\"}));

    // Preference outranks the version, so an unnumbered preferred runtime
    // still comes before a numbered one that is not preferred.
    const LauncherSettings favorJre = policySettings(L"favor_JRE");
    EXPECT_EQ(ranked({candidate(1, L"17", favorJre), candidate(2, L"current", favorJre)}, favorJre),
              (Homes{L"C:\\key2\\current\\", L"C:\\key1\\17\\"}));
}

TEST(PickCandidate, FirstPreferredVersionThatMatchesAnyCandidateDecides)
{
    LauncherSettings settings = policySettings(L"");
    settings.preferredVersions = {L"11", L"1.8"};
    EXPECT_EQ(picked({candidate(1, L"17", settings), candidate(1, L"11.0.2", settings),
                      candidate(4, L"1.8.0_291", settings)},
                     settings),
              L"C:\\key1\\11.0.2\\");
    EXPECT_EQ(
        picked({candidate(1, L"17", settings), candidate(4, L"1.8.0_291", settings)}, settings),
        L"C:\\key4\\1.8.0_291\\");
    EXPECT_EQ(picked({candidate(1, L"17", settings)}, settings), L"C:\\key1\\17\\");
}

TEST(PickCandidate, EmptyOrDigitlessPreferredItemIsSkipped)
{
    // Such an item would match every candidate and pick the newest.
    LauncherSettings settings = policySettings(L"");
    settings.preferredVersions = {L"11", L"", L"1.8"};
    const auto candidates = [&] {
        return std::vector<RuntimeCandidate>{candidate(1, L"17", settings),
                                             candidate(4, L"1.8.0_291", settings)};
    };
    EXPECT_EQ(picked(candidates(), settings), L"C:\\key4\\1.8.0_291\\");
    settings.preferredVersions = {L"latest", L" ", L"1.8"};
    EXPECT_EQ(picked(candidates(), settings), L"C:\\key4\\1.8.0_291\\");
    // 0 names a version: it still matches every candidate.
    settings.preferredVersions = {L"0", L"1.8"};
    EXPECT_EQ(picked(candidates(), settings), L"C:\\key1\\17\\");
}

TEST(PickCandidate, PreferredVersionTakesTheBestRankedOfItsFamily)
{
    LauncherSettings settings = policySettings(L"favor_JRE");
    settings.preferredVersions = {L"1.8"};
    EXPECT_EQ(picked({candidate(1, L"1.8.0_301", settings), candidate(2, L"1.8.0_201", settings),
                      candidate(2, L"17", settings), candidate(4, L"1.8.0_291", settings)},
                     settings),
              L"C:\\key4\\1.8.0_291\\");

    settings.preferredVersions = {L"1.8.1"};
    EXPECT_EQ(
        picked({candidate(2, L"1.8.0_291", settings), candidate(2, L"17", settings)}, settings),
        L"C:\\key2\\17\\");
}

TEST(PickCandidate, NothingToPickFromFindsNothing)
{
    LauncherSettings settings = policySettings(L"");
    settings.preferredVersions = {L"1.8"};
    EXPECT_EQ(pickCandidate({}, settings), std::nullopt);
}
