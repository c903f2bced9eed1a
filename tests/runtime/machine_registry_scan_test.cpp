// The scan against the machine's own registry. Every runtime written here has
// a version from 90 on, and the scans only accept 90 to 99, so runtimes that
// happen to be registered on the machine play no part.
#include <gtest/gtest.h>

#include "runtime/registry_scan.h"
#include "runtime_folders.h"
#include "runtime_policy_settings.h"
#include "support/test_text.h"
#include "written_machine_keys.h"

namespace {

constexpr std::wstring_view kJdkKey = L"Software\\JavaSoft\\JDK\\";
constexpr std::wstring_view kJreKey = L"Software\\JavaSoft\\JRE\\";
constexpr std::wstring_view kOldJdkKey = L"Software\\JavaSoft\\Java Development Kit\\";
constexpr std::wstring_view kOldJreKey = L"Software\\JavaSoft\\Java Runtime Environment\\";
constexpr std::wstring_view kJrockitJreKey = L"Software\\JRockit\\Java Runtime Environment\\";
constexpr std::wstring_view kJrockitJdkKey = L"Software\\JRockit\\Java Development Kit\\";
constexpr std::wstring_view kIbmKey = L"Software\\IBM\\Java2 Runtime Environment\\";

LauncherSettings testSettings(std::wstring_view jvmSource, std::wstring_view vmProvider = L"")
{
    LauncherSettings settings = policySettings(jvmSource, vmProvider);
    settings.minimumVersion = minimumVersionFromText(L"90");
    settings.maximumVersion = maximumVersionFromText(L"99");
    return settings;
}

std::wstring chosenHome(const std::optional<RegisteredRuntime>& runtime)
{
    return runtime ? runtime->homeFolder : L"(nothing)";
}

}  // namespace

class MachineRegistryScan : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folders.created()); }

    RuntimeFolders folders;
    // Declared last so that the keys go before the folders they name.
    WrittenMachineKeys keys;
};

TEST_F(MachineRegistryScan, JavaSoftKeysAreReadAndTheirJdkFolderLeadsToItsJre)
{
    const std::wstring jdk = folders.makeHome(L"jdk97", {kJavaDllFile, kServerJvmFile});
    const std::wstring oldJdk = folders.makeHome(L"jdk98", {L"jre\\bin\\client\\jvm.dll"});
    const std::wstring jre = folders.makeHome(L"jre96", {kJavaDllFile, kClientJvmFile});
    ASSERT_TRUE(keys.registerRuntime(kJdkKey, L"97.0.1", jdk));
    ASSERT_TRUE(keys.registerRuntime(kJreKey, L"96", jre));
    ASSERT_TRUE(keys.registerRuntime(kOldJreKey, L"96.0_5", jre + L"\\"));
    ASSERT_TRUE(keys.registerRuntime(kOldJdkKey, L"98.0_1", oldJdk));

    LauncherSettings settings = testSettings(L"");
    std::optional<RegisteredRuntime> chosen =
        scanRegistryRuntimes(settings, RegistryView::defaultView);
    EXPECT_EQ(chosenHome(chosen), oldJdk + L"\\jre\\");
    ASSERT_TRUE(chosen);
    EXPECT_EQ(formatRuntimeVersion(chosen->version), L"98.0.1");
    EXPECT_FALSE(chosen->foundInThirtyTwoBitView);

    settings.preferredVersions = {L"96.0.5"};
    EXPECT_EQ(chosenHome(scanRegistryRuntimes(settings, RegistryView::defaultView)), jre + L"\\");

    EXPECT_EQ(
        chosenHome(scanRegistryRuntimes(testSettings(L"favor_JRE"), RegistryView::defaultView)),
        jre + L"\\");
    EXPECT_EQ(
        chosenHome(scanRegistryRuntimes(testSettings(L"only_JDK"), RegistryView::defaultView)),
        oldJdk + L"\\jre\\");
}

TEST_F(MachineRegistryScan, JrockitKeysAreReadForJrockit)
{
    const std::wstring jre =
        folders.makeHome(L"jrockit95", {kJavaDllFile, L"bin\\jrockit\\jvm.dll"});
    const std::wstring jdk = folders.makeHome(L"jrockit94", {L"jre\\bin\\jrockit\\jvm.dll"});
    ASSERT_TRUE(keys.registerRuntime(kJrockitJreKey, L"95.1", jre));
    ASSERT_TRUE(keys.registerRuntime(kJrockitJdkKey, L"94.2", jdk));

    // Sun alone, the default vendor, does not look at JRockit's keys.
    EXPECT_EQ(scanRegistryRuntimes(testSettings(L""), RegistryView::defaultView), std::nullopt);

    LauncherSettings settings = testSettings(L"", L"JRockit");
    EXPECT_EQ(chosenHome(scanRegistryRuntimes(settings, RegistryView::defaultView)), jre + L"\\");
    settings.preferredVersions = {L"93", L"94"};
    EXPECT_EQ(chosenHome(scanRegistryRuntimes(settings, RegistryView::defaultView)),
              jdk + L"\\jre\\");
}

TEST_F(MachineRegistryScan, IbmKeyIsReadForIbmAndRankedFirstWhenFavoured)
{
    const std::wstring ibm = folders.makeHome(L"ibm93", {kJavaDllFile, L"bin\\classic\\jvm.dll"});
    const std::wstring sun = folders.makeHome(L"sun97", {kJavaDllFile, kClientJvmFile});
    ASSERT_TRUE(keys.registerRuntime(kIbmKey, L"93.0", ibm));
    ASSERT_TRUE(keys.registerRuntime(kJdkKey, L"97", sun));

    EXPECT_EQ(chosenHome(scanRegistryRuntimes(testSettings(L""), RegistryView::defaultView)),
              sun + L"\\");
    EXPECT_EQ(
        chosenHome(scanRegistryRuntimes(testSettings(L"", L"ibm"), RegistryView::defaultView)),
        ibm + L"\\");
    EXPECT_EQ(chosenHome(
                  scanRegistryRuntimes(testSettings(L"", L"favor_ibm"), RegistryView::defaultView)),
              ibm + L"\\");
    EXPECT_EQ(
        chosenHome(scanRegistryRuntimes(testSettings(L"", L"any"), RegistryView::defaultView)),
        sun + L"\\");
}

TEST_F(MachineRegistryScan, JavaHomeIsReadOnlyAsNonEmptyText)
{
    const std::wstring home = folders.makeHome(L"jre92", {kJavaDllFile, kClientJvmFile});
    const std::wstring emptyKey = std::wstring(kJreKey) + L"92.1";
    const std::wstring numberKey = std::wstring(kJreKey) + L"92.2";
    const std::wstring missingKey = std::wstring(kJreKey) + L"92.3";
    const std::wstring unendedKey = std::wstring(kJreKey) + L"92.0";
    const DWORD number = 0x0041005A;  // "ZA" when taken for text
    ASSERT_TRUE(keys.createNewKey(emptyKey, RegistryView::defaultView));
    ASSERT_TRUE(keys.setValue(emptyKey, RegistryView::defaultView, L"JavaHome", REG_SZ, L"",
                              sizeof(wchar_t)));
    ASSERT_TRUE(keys.createNewKey(numberKey, RegistryView::defaultView));
    ASSERT_TRUE(keys.setValue(numberKey, RegistryView::defaultView, L"JavaHome", REG_DWORD, &number,
                              sizeof(number)));
    ASSERT_TRUE(keys.createNewKey(missingKey, RegistryView::defaultView));
    ASSERT_TRUE(keys.setValue(missingKey, RegistryView::defaultView, L"Version", REG_SZ, L"92",
                              3 * sizeof(wchar_t)));

    SystemRuntimeRegistry registry;
    for (const wchar_t* subkey : {L"92.1", L"92.2", L"92.3", L"92.4"}) {
        EXPECT_EQ(registry.readJavaHome(kJreKey, subkey, RegistryView::defaultView), std::nullopt)
            << harness::toUtf8(subkey);
    }
    EXPECT_EQ(scanRegistryRuntimes(testSettings(L""), RegistryView::defaultView), std::nullopt);

    // A value stored without its closing NUL is still read whole.
    ASSERT_TRUE(keys.createNewKey(unendedKey, RegistryView::defaultView));
    ASSERT_TRUE(keys.setValue(unendedKey, RegistryView::defaultView, L"JavaHome", REG_SZ,
                              home.data(), static_cast<DWORD>(home.size() * sizeof(wchar_t))));
    EXPECT_EQ(registry.readJavaHome(kJreKey, L"92.0", RegistryView::defaultView), home);
    EXPECT_EQ(chosenHome(scanRegistryRuntimes(testSettings(L""), RegistryView::defaultView)),
              home + L"\\");
}

TEST_F(MachineRegistryScan, ThirtyTwoBitRuntimeIsFoundOnlyThereAndOnlyForAPairProduct)
{
    const std::wstring home = folders.makeHome(L"jre91-x86", {kJavaDllFile, kClientJvmFile});
    ASSERT_TRUE(keys.registerRuntime(kJreKey, L"91.0", home, RegistryView::thirtyTwoBitView));
    LauncherSettings settings = testSettings(L"");
#ifndef _WIN64
    // The default view of a 32-bit process, the paired build's, is the 32-bit
    // registry: the runtime is its own and nothing is to be handed on.
    const std::optional<RegisteredRuntime> own =
        scanRegistryRuntimes(settings, RegistryView::defaultView);
    EXPECT_EQ(chosenHome(own), home + L"\\");
    EXPECT_TRUE(own && !own->foundInThirtyTwoBitView);
#else
    ASSERT_FALSE(
        WrittenMachineKeys::keyExists(std::wstring(kJreKey) + L"91.0", RegistryView::defaultView))
        << "the 32-bit registry view is not kept apart here";

    EXPECT_EQ(scanRegistryRuntimes(settings, RegistryView::defaultView), std::nullopt);
    EXPECT_EQ(scanRegistryRuntimes(settings, RegistryView::thirtyTwoBitView), std::nullopt);

    settings.pairProduct = L"Acme Editor 32.exe";
    EXPECT_EQ(scanRegistryRuntimes(settings, RegistryView::defaultView), std::nullopt);
    const std::optional<RegisteredRuntime> chosen =
        scanRegistryRuntimes(settings, RegistryView::thirtyTwoBitView);
    EXPECT_EQ(chosenHome(chosen), home + L"\\");
    EXPECT_TRUE(chosen && chosen->foundInThirtyTwoBitView);
#endif
}

TEST_F(MachineRegistryScan, WrittenKeysAreGoneAfterwardsWhileKeysThatWereThereStay)
{
    const std::wstring home = folders.makeHome(L"jre90", {kJavaDllFile, kClientJvmFile});
    const bool softwareExisted =
        WrittenMachineKeys::keyExists(L"Software", RegistryView::defaultView);
    const bool vendorExisted =
        WrittenMachineKeys::keyExists(kJrockitJreKey, RegistryView::defaultView);
    {
        WrittenMachineKeys scoped;
        ASSERT_TRUE(scoped.registerRuntime(kJrockitJreKey, L"90.5", home));
        // A subkey that exists already is not taken over.
        EXPECT_FALSE(scoped.registerRuntime(kJrockitJreKey, L"90.5", home));
        EXPECT_EQ(chosenHome(scanRegistryRuntimes(testSettings(L"", L"jrockit"),
                                                  RegistryView::defaultView)),
                  home + L"\\");
    }
    EXPECT_FALSE(WrittenMachineKeys::keyExists(std::wstring(kJrockitJreKey) + L"90.5",
                                               RegistryView::defaultView));
    EXPECT_EQ(WrittenMachineKeys::keyExists(kJrockitJreKey, RegistryView::defaultView),
              vendorExisted);
    EXPECT_EQ(WrittenMachineKeys::keyExists(L"Software", RegistryView::defaultView),
              softwareExisted);
    EXPECT_EQ(scanRegistryRuntimes(testSettings(L"", L"jrockit"), RegistryView::defaultView),
              std::nullopt);
}
