// The runtimes found where the user would otherwise be asked: the keys the
// vendors' installers write for themselves, per machine and per user, and the
// runtimes only on PATH. The keys are written into this prefix's registry for
// the test alone; the runtimes are the test runtime laid out in the sandbox,
// whose jvm.dll traces "loaded <its path>" when the launcher loads it.
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "runtime/written_machine_keys.h"
#include "runtime_start.h"
#include "support/process_runner.h"
#include "support/sandbox.h"
#include "support/test_jvm/test_runtime.h"
#include "support/test_paths.h"
#include "support/test_text.h"

using namespace harness;

namespace {

constexpr DWORD kExitLimit = 15000;

struct VendorLayout {
    const wchar_t* key;          // below the root, the version subkey's parent
    const wchar_t* belowVersion; // the subkey holding the value, or empty
    const wchar_t* valueName;
};

// Written from the installers' own sources and documentation, not from the
// launcher's table, so that each row of that table is checked independently.
const VendorLayout kVendorLayouts[] = {
    {L"Software\\Eclipse Adoptium\\JDK", L"hotspot\\MSI", L"Path"},
    {L"Software\\Eclipse Adoptium\\JRE", L"openj9\\MSI", L"Path"},
    {L"Software\\AdoptOpenJDK\\JDK", L"openj9\\MSI", L"Path"},
    {L"Software\\Eclipse Foundation\\JDK", L"hotspot\\MSI", L"Path"},
    {L"Software\\Microsoft\\JDK", L"hotspot\\MSI", L"Path"},
    {L"Software\\Semeru\\JRE", L"openj9\\MSI", L"Path"},
    {L"Software\\SapMachine\\JDK", L"", L"JavaHome"},
    {L"Software\\Azul Systems\\Zulu", L"", L"InstallationPath"},
    {L"Software\\BellSoft\\Liberica", L"", L"InstallationPath"},
};

const VendorLayout& adoptiumJdk = kVendorLayouts[0];

std::wstring keyOf(const VendorLayout& layout, std::wstring_view version)
{
    std::wstring key = std::wstring(layout.key) + L"\\" + std::wstring(version);
    if (*layout.belowVersion != L'\0') {
        key += L"\\";
        key += layout.belowVersion;
    }
    return key;
}

class InstalledRuntimes : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(sandbox_.create(L"Acme Editor")); }

    std::wstring home(std::wstring_view relative) const { return sandbox_.pathOf(relative); }

    // The test runtime as an installer leaves it: its JVM library, a java.exe
    // stand-in, and a "release" file with the version given (none for an
    // empty text). Returns the JVM library's path.
    std::wstring layOut(std::wstring_view relativeHome, std::string_view releaseVersion = "")
    {
        std::optional<std::wstring> library =
            layOutTestRuntime(home(relativeHome), TestJvm::complete);
        EXPECT_TRUE(library.has_value());
        std::wstring relative(relativeHome);
        EXPECT_TRUE(sandbox_.writeFile(relative + L"\\bin\\java.exe", "java.exe stand-in"));
        if (!releaseVersion.empty()) {
            EXPECT_TRUE(sandbox_.writeFile(
                relative + L"\\release",
                "IMPLEMENTOR=\"Acme\"\r\nJAVA_VERSION=\"" + std::string(releaseVersion) + "\"\r\n"));
        }
        return library.value_or(L"");
    }

    // An x86 image as the runtime's JVM library, from the paired 32-bit tree.
    std::optional<std::wstring> layOutX86Runtime(std::wstring_view relativeHome)
    {
        std::optional<std::wstring> library = layOutX86TestRuntime(home(relativeHome));
        if (library) {
            EXPECT_TRUE(
                sandbox_.writeFile(std::wstring(relativeHome) + L"\\bin\\java.exe", "stand-in"));
        }
        return library;
    }

    void writeSettings(const std::string& runtimeKeys, const std::string& applicationKeys = "")
    {
        ASSERT_TRUE(sandbox_.writeIni(
            "[Java Runtime Environment]\r\nMain Class=tarvo.test.Main\r\n" + runtimeKeys +
            "[Application]\r\nEmbedded Jar=Yes\r\n" + applicationKeys));
    }

    // Writes the folder value of one install below the layout's key.
    [[nodiscard]] static bool registerInstall(WrittenMachineKeys& keys, const VendorLayout& layout,
                                              std::wstring_view version, const std::wstring& folder,
                                              RegistryView view = RegistryView::defaultView)
    {
        const std::wstring key = keyOf(layout, version);
        return keys.createNewKey(key, view) &&
               keys.setValue(key, view, layout.valueName, REG_SZ, folder.c_str(),
                             static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
    }

    // No JAVA_HOME, and PATH as this process has it with the folders given in front.
    RuntimeStart start(const std::vector<std::wstring>& pathFolders = {})
    {
        EnvironmentBlock environment = EnvironmentBlock::inherited();
        environment.set(L"APPDATA", sandbox_.pathOf(L"AppData"));
        environment.remove(L"JAVA_HOME");
        std::wstring path;
        for (const std::wstring& folder : pathFolders) {
            path += folder + L";";
        }
        environment.set(L"PATH", path + environment.get(L"PATH").value_or(L""));
        return startProductForItsRuntime(sandbox_, environment);
    }

    std::vector<std::wstring> loaded(const std::vector<std::wstring>& pathFolders = {})
    {
        return start(pathFolders).loadedLibraries;
    }

    ProductSandbox sandbox_;
};

std::vector<std::wstring> just(const std::wstring& library)
{
    return {library};
}

}  // namespace

TEST_F(InstalledRuntimes, EachVendorLayoutIsFound)
{
    writeSettings("");
    for (const VendorLayout& layout : kVendorLayouts) {
        SCOPED_TRACE(toUtf8(layout.key) + " " + toUtf8(layout.belowVersion));
        std::wstring library = layOut(L"vendor", "17.0.9");
        WrittenMachineKeys keys;
        ASSERT_TRUE(registerInstall(keys, layout, L"17.0.9.9", home(L"vendor") + L"\\"));
        EXPECT_EQ(loaded(), just(library));
    }
}

TEST_F(InstalledRuntimes, PerUserInstallIsFoundUnderCurrentUser)
{
    std::wstring library = layOut(L"peruser", "21.0.1");
    WrittenMachineKeys userKeys(HKEY_CURRENT_USER);
    ASSERT_TRUE(registerInstall(userKeys, adoptiumJdk, L"21.0.1.12", home(L"peruser")));
    writeSettings("Minimum Version=21\r\n");
    EXPECT_EQ(loaded(), just(library));
}

TEST_F(InstalledRuntimes, RuntimeOnlyOnPathIsFoundButNotAFolderWithoutJavaExe)
{
    std::wstring library = layOut(L"onpath");
    layOut(L"nojava");
    ASSERT_TRUE(DeleteFileW(home(L"nojava\\bin\\java.exe").c_str()));
    writeSettings("");
    EXPECT_EQ(loaded({home(L"nojava\\bin"), home(L"onpath\\bin")}), just(library));
    // A link folder such as Oracle's javapath leads nowhere here: no home above it.
    ASSERT_TRUE(sandbox_.writeFile(L"Oracle\\Java\\javapath\\java.exe", "link stand-in"));
    EXPECT_TRUE(start({home(L"Oracle\\Java\\javapath")}).dialogShown);
}

TEST_F(InstalledRuntimes, RegisteredJavaSoftRuntimeWinsAndTheVersionComesFromRelease)
{
    std::wstring javaSoft = layOut(L"javasoft");
    std::wstring vendor = layOut(L"vendor", "99.0.1");
    WrittenMachineKeys keys;
    ASSERT_TRUE(keys.registerRuntime(L"Software\\JavaSoft\\JDK\\", L"11", home(L"javasoft")));
    // The key's name says 11; the release file's 99.0.1 is what counts.
    ASSERT_TRUE(registerInstall(keys, adoptiumJdk, L"11.0.2", home(L"vendor")));
    writeSettings("Maximum Version=20\r\n");
    EXPECT_EQ(loaded(), just(javaSoft));
    writeSettings("Minimum Version=50\r\n");
    EXPECT_EQ(loaded(), just(vendor));
}

TEST_F(InstalledRuntimes, BoundsThatExcludeEveryInstalledRuntimeBringTheDialog)
{
    layOut(L"vendor", "17.0.9");
    layOut(L"onpath", "11.0.2");
    WrittenMachineKeys keys;
    ASSERT_TRUE(registerInstall(keys, adoptiumJdk, L"17.0.9.9", home(L"vendor")));
    writeSettings("Minimum Version=18\r\n");
    RuntimeStart outcome = start({home(L"onpath\\bin")});
    EXPECT_TRUE(outcome.dialogShown);
    EXPECT_TRUE(outcome.loadedLibraries.empty());
}

TEST_F(InstalledRuntimes, SwitchedOffTheDialogComesAsBefore)
{
    layOut(L"vendor", "17.0.9");
    WrittenMachineKeys keys;
    ASSERT_TRUE(registerInstall(keys, adoptiumJdk, L"17.0.9.9", home(L"vendor")));
    writeSettings("Search Installed Runtimes=No\r\n");
    EXPECT_TRUE(start({home(L"vendor\\bin")}).dialogShown);
    writeSettings("Search Installed Runtimes=yes\r\n");
    EXPECT_FALSE(start().dialogShown);
}

TEST_F(InstalledRuntimes, X86RuntimeIsSkippedWithoutAPairAndHandedToThePairWithOne)
{
    std::optional<std::wstring> library = layOutX86Runtime(L"runtime32");
    if (!library) {
        GTEST_SKIP() << "this tree was configured without the 32-bit build";
    }
    WrittenMachineKeys keys;
    ASSERT_TRUE(registerInstall(keys, adoptiumJdk, L"17.0.9.9", home(L"runtime32"),
                                RegistryView::thirtyTwoBitView));
    // Skipped, never loaded: the dialog comes, no message about a bad image.
    writeSettings("");
    EXPECT_TRUE(start({home(L"runtime32\\bin")}).dialogShown);

    // With a pair the runtime is the pair's: the environment probe stands in
    // for the 32-bit launcher and writes down that it ran.
    std::optional<std::string> probe = readFileBytes(probePath(L"environment_probe.exe"));
    ASSERT_TRUE(probe);
    ASSERT_TRUE(sandbox_.writeFile(L"pair\\Acme Editor 32.exe", *probe));
    writeSettings("", "Pair Product=" + toUtf8(home(L"pair\\Acme Editor 32.exe")) +
                          "\r\nPair Return Code=Yes\r\n");
    ProcessStart launch(sandbox_.executablePath(),
                        commandLineOf(sandbox_.executablePath(),
                                      {sandbox_.pathOf(L"report.txt"), L"23"}));
    EnvironmentBlock environment = EnvironmentBlock::inherited();
    environment.set(L"APPDATA", sandbox_.pathOf(L"AppData"));
    environment.remove(L"JAVA_HOME");
    launch.environment = environment;
    std::optional<ProcessOutcome> outcome = runProcess(launch, kExitLimit);
    ASSERT_TRUE(outcome);
    EXPECT_TRUE(outcome->finished);
    EXPECT_EQ(outcome->exitCode, 23);
    EXPECT_TRUE(readFileBytes(sandbox_.pathOf(L"report.txt"))) << "the pair product did not run";
}

TEST_F(InstalledRuntimes, HostileValuesAreSkippedQuickly)
{
    WrittenMachineKeys keys;
    // A folder value of 40,000 characters, a relative one, one naming a file.
    ASSERT_TRUE(registerInstall(keys, adoptiumJdk, L"30", L"C:\\" + std::wstring(40000, L'a')));
    // The relative one names a runtime of the preferred version in the
    // launcher's current folder: taken, it would come first.
    ASSERT_TRUE(registerInstall(keys, adoptiumJdk, L"31", L"vendor"));
    layOut(L"vendor", "17.0.1");
    ASSERT_TRUE(registerInstall(keys, adoptiumJdk, L"32", home(L"vendor\\release")));
    // A version subkey of 255 digits, which is no version.
    layOut(L"digits");
    ASSERT_TRUE(registerInstall(keys, adoptiumJdk, std::wstring(255, L'9'), home(L"digits")));
    // A "release" of 100 MB whose version line comes too late to be read, and
    // one without a version line: both runtimes keep the key's version, 17.
    std::string huge(100 * 1024 * 1024, '#');
    huge += "\nJAVA_VERSION=\"99\"\n";
    std::wstring hugeRelease = layOut(L"huge");
    ASSERT_TRUE(sandbox_.writeFile(L"huge\\release", huge));
    huge.clear();
    huge.shrink_to_fit();
    ASSERT_TRUE(registerInstall(keys, kVendorLayouts[4], L"17.0.1", home(L"huge")));
    std::wstring noVersionLine = layOut(L"noversion");
    ASSERT_TRUE(sandbox_.writeFile(L"noversion\\release", "IMPLEMENTOR=\"Acme\"\r\n"));
    ASSERT_TRUE(registerInstall(keys, kVendorLayouts[7], L"zulu-17.0.2", home(L"noversion")));

    // The start's own limit bounds how long all this may take.
    writeSettings("Maximum Version=17\r\nPreferred versions=17.0.1\r\n");
    EXPECT_EQ(loaded({L"relative\\bin", home(L"vendor\\release")}), just(hugeRelease));
    writeSettings("Maximum Version=17\r\nPreferred versions=17.0.2\r\n");
    EXPECT_EQ(loaded(), just(noVersionLine));
}
