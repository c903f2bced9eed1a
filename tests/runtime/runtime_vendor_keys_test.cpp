#include "runtime/runtime_vendor_keys.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/jvm_probe_order.h"
#include "runtime_policy_settings.h"

namespace {

// The numbers (1 to 7, in scan order) of the keys the settings have read.
std::vector<int> scannedKeys(const LauncherSettings& settings)
{
    std::vector<int> numbers;
    for (std::size_t index = 0; index < kRuntimeVendorKeys.size(); ++index) {
        if (isVendorKeyScanned(kRuntimeVendorKeys[index], settings)) {
            numbers.push_back(static_cast<int>(index) + 1);
        }
    }
    return numbers;
}

std::vector<int> preferredKeys(const LauncherSettings& settings)
{
    std::vector<int> numbers;
    for (std::size_t index = 0; index < kRuntimeVendorKeys.size(); ++index) {
        if (isVendorKeyPreferred(kRuntimeVendorKeys[index], settings)) {
            numbers.push_back(static_cast<int>(index) + 1);
        }
    }
    return numbers;
}

const RuntimeVendorKey& key(int number)
{
    return kRuntimeVendorKeys.at(static_cast<std::size_t>(number - 1));
}

using Keys = std::vector<int>;

}  // namespace

TEST(RuntimeVendorKeys, JvmSourceChoosesTheKindsOfKeysRead)
{
    struct Case {
        const wchar_t* jvmSource;
        Keys scanned;
    };
    // With the default vendor, only the four JavaSoft keys can be read.
    for (const Case& item :
         {Case{L"", {1, 2, 3, 4}}, Case{L"favor_JRE", {1, 2, 3, 4}},
          Case{L"favor_JDK", {1, 2, 3, 4}}, Case{L"only_JRE", {2, 4}}, Case{L"only_JDK", {1, 3}},
          Case{L"Only_JDK", {}}, Case{L"anything", {}}}) {
        EXPECT_EQ(scannedKeys(policySettings(item.jvmSource)), item.scanned)
            << "JVM Source \"" << testing::PrintToString(std::wstring(item.jvmSource)) << "\"";
    }
}

TEST(RuntimeVendorKeys, VmProviderChoosesTheVendorsRead)
{
    struct Case {
        const wchar_t* vmProvider;
        Keys scanned;
    };
    for (const Case& item :
         {Case{L"", {1, 2, 3, 4}}, Case{L"unknown", {1, 2, 3, 4}}, Case{L"jrockit", {5, 6}},
          Case{L"ibm", {7}}, Case{L"IBM", {7}}, Case{L"favor_sun", {1, 2, 3, 4, 5, 6, 7}},
          Case{L"favor_jrockit", {1, 2, 3, 4, 5, 6, 7}}, Case{L"favor_ibm", {1, 2, 3, 4, 5, 6, 7}},
          Case{L"any", {1, 2, 3, 4, 5, 6, 7}}}) {
        EXPECT_EQ(scannedKeys(policySettings(L"", item.vmProvider)), item.scanned)
            << testing::PrintToString(std::wstring(item.vmProvider));
    }
}

TEST(RuntimeVendorKeys, KindAndVendorConditionsCombine)
{
    EXPECT_EQ(scannedKeys(policySettings(L"only_JRE", L"any")), (Keys{2, 4, 5, 7}));
    EXPECT_EQ(scannedKeys(policySettings(L"only_JDK", L"any")), (Keys{1, 3, 6}));
    EXPECT_EQ(scannedKeys(policySettings(L"only_JDK", L"favor_ibm")), (Keys{1, 3, 6}));
    EXPECT_EQ(scannedKeys(policySettings(L"only_JDK", L"ibm")), Keys{});
    EXPECT_EQ(scannedKeys(policySettings(L"only_JRE", L"jrockit")), Keys{5});
    EXPECT_EQ(scannedKeys(policySettings(L"favor_JDK", L"jrockit")), (Keys{5, 6}));
    EXPECT_EQ(scannedKeys(policySettings(L"anything", L"any")), Keys{});
}

TEST(RuntimeVendorKeys, PreferredRuntimesAreOfAWantedKindAndAFavouredVendor)
{
    EXPECT_EQ(preferredKeys(policySettings(L"")), (Keys{1, 2, 3, 4}));
    EXPECT_EQ(preferredKeys(policySettings(L"favor_JRE")), (Keys{2, 4}));
    EXPECT_EQ(preferredKeys(policySettings(L"favor_JDK")), (Keys{1, 3}));
    EXPECT_EQ(preferredKeys(policySettings(L"", L"favor_ibm")), Keys{7});
    EXPECT_EQ(preferredKeys(policySettings(L"", L"favor_jrockit")), (Keys{5, 6}));
    EXPECT_EQ(preferredKeys(policySettings(L"favor_JDK", L"favor_jrockit")), Keys{6});
    EXPECT_EQ(preferredKeys(policySettings(L"", L"any")), Keys{});
    EXPECT_EQ(preferredKeys(policySettings(L"anything")), Keys{});
}

TEST(RuntimeVendorKeys, RegisteredJdkFoldersLeadToTheirJreFolder)
{
    // Keys 3 and 6 register the JDK; its runtime is the "jre" folder below.
    for (int number : {3, 6}) {
        EXPECT_EQ(runtimeHomeFromJavaHome(key(number), L"C:\\jdk1.8"), L"C:\\jdk1.8\\jre\\");
        EXPECT_EQ(runtimeHomeFromJavaHome(key(number), L"C:\\jdk1.8\\"), L"C:\\jdk1.8\\jre\\");
    }
    for (int number : {1, 2, 4, 5, 7}) {
        EXPECT_EQ(runtimeHomeFromJavaHome(key(number), L"C:\\Java\\jdk-17"), L"C:\\Java\\jdk-17\\");
        EXPECT_EQ(runtimeHomeFromJavaHome(key(number), L"C:\\Java\\jdk-17\\"),
                  L"C:\\Java\\jdk-17\\");
    }
    // An empty "JavaHome" names no folder at all, not the root of a drive.
    EXPECT_EQ(runtimeHomeFromJavaHome(key(1), L""), std::nullopt);
    EXPECT_EQ(runtimeHomeFromJavaHome(key(3), L""), std::nullopt);
}

TEST(RuntimeVendorKeys, FavouredServerIsNotFavouredUnderTheOldJreKey)
{
    for (int number = 1; number <= 7; ++number) {
        EXPECT_EQ(probeJvmTypeForKey(key(number), kAnyJvm), kAnyJvm);
        EXPECT_EQ(probeJvmTypeForKey(key(number), kServerJvmOnly), kServerJvmOnly);
        EXPECT_EQ(probeJvmTypeForKey(key(number), kServerJvmFavored),
                  number == 4 ? kAnyJvm : kServerJvmFavored)
            << "key " << number;
    }
    EXPECT_EQ(key(4).path, L"Software\\JavaSoft\\Java Runtime Environment\\");
}

TEST(JvmLibraryProbeOrder, ServerFirstOnlyWhenTheTypeAsksForIt)
{
    using Paths = std::vector<std::wstring_view>;
    const Paths general{L"bin\\client\\jvm.dll", L"bin\\classic\\jvm.dll", L"bin\\hotspot\\jvm.dll",
                        L"bin\\server\\jvm.dll", L"bin\\jrockit\\jvm.dll"};
    EXPECT_EQ(jvmLibraryProbeOrder(kAnyJvm), general);
    EXPECT_EQ(jvmLibraryProbeOrder(kServerJvmOnly), Paths{L"bin\\server\\jvm.dll"});
    EXPECT_EQ(jvmLibraryProbeOrder(kServerJvmFavored),
              (Paths{L"bin\\server\\jvm.dll", L"bin\\client\\jvm.dll", L"bin\\classic\\jvm.dll",
                     L"bin\\hotspot\\jvm.dll", L"bin\\jrockit\\jvm.dll"}));
    EXPECT_EQ(jvmLibraryProbeOrder(7), general);
}
