// Which runtime a real start chooses: the configured "JRE Path", the folder
// beside the executable and its "jre64" subfolder, the registry, JAVA_HOME, in
// this order, the first that yields a JVM library winning. The test runtime's
// jvm.dll writes "loaded <its path>" into a trace when the launcher loads it,
// which tells which one was chosen.
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "runtime/written_machine_keys.h"
#include "runtime_start.h"
#include "support/polling.h"
#include "support/process_runner.h"
#include "support/sandbox.h"
#include "support/test_jvm/test_runtime.h"
#include "support/test_paths.h"
#include "support/test_text.h"
#include "support/ui_driver.h"

using namespace harness;

namespace {

constexpr DWORD kExitLimit = 15000;
constexpr DWORD kWindowLimit = 15000;

const wchar_t kJavaSoftJdk[] = L"Software\\JavaSoft\\JDK\\";

class RuntimeSources : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(sandbox_.create(L"Acme Editor")); }

    std::wstring home(std::wstring_view relative) const { return sandbox_.pathOf(relative); }

    // A runtime with its JVM library under bin\<jvmType>\; returns the library's path.
    std::wstring layOut(std::wstring_view relativeHome, std::wstring_view jvmType = L"server")
    {
        std::optional<std::wstring> library =
            layOutTestRuntime(home(relativeHome), TestJvm::complete, jvmType);
        EXPECT_TRUE(library.has_value());
        return library.value_or(L"");
    }

    void writeSettings(const std::string& extraRuntimeKeys,
                       const std::string& extraApplicationKeys = "")
    {
        // The test runtime's main that returns at once; the executable itself
        // is the class path.
        ASSERT_TRUE(sandbox_.writeIni(
            "[Java Runtime Environment]\r\nMain Class=tarvo.test.Main\r\n" + extraRuntimeKeys +
            "[Application]\r\nEmbedded Jar=Yes\r\n" + extraApplicationKeys));
    }

    // Starts the launcher, which loads the chosen runtime and runs the Java
    // program with it; returns the libraries loaded. When no source yields a
    // runtime the runtime-not-found dialog shows instead: it is cancelled, and
    // the start ends with -1.
    std::vector<std::wstring> loadedLibraries(
        const std::optional<std::wstring>& javaHome = std::nullopt)
    {
        EnvironmentBlock environment = EnvironmentBlock::inherited();
        environment.set(L"APPDATA", sandbox_.pathOf(L"AppData"));
        if (javaHome) {
            environment.set(L"JAVA_HOME", *javaHome);
        } else {
            environment.remove(L"JAVA_HOME");
        }
        return startProductForItsRuntime(sandbox_, environment).loadedLibraries;
    }

    // The test runtime built for x86, from the paired 32-bit tree.
    std::optional<std::wstring> layOutThirtyTwoBitRuntime(std::wstring_view relativeHome)
    {
        return layOutX86TestRuntime(home(relativeHome));
    }

    // The launcher loads the x86 library itself, which the system refuses
    // with ERROR_BAD_EXE_FORMAT: proof that no hand-over happened.
    void expectBadImageMessage(const std::wstring& library)
    {
        ProcessStart start(sandbox_.executablePath());
        EnvironmentBlock environment = EnvironmentBlock::inherited();
        environment.set(L"APPDATA", sandbox_.pathOf(L"AppData"));
        start.environment = environment;
        std::optional<RunningProcess> launcher = RunningProcess::start(start);
        ASSERT_TRUE(launcher);
        std::optional<HWND> box = waitForDialog(launcher->id(), kWindowLimit);
        ASSERT_TRUE(box) << "no message about the x86 library";
        EXPECT_EQ(messageBoxText(*box), L"Konnte Java VM Bibliothek: " + library +
                                            L" (Fehlernummer= 193) nicht laden.\n");
        ASSERT_TRUE(clickButton(*box, IDOK));
        ProcessOutcome outcome = launcher->waitForExit(kExitLimit);
        EXPECT_TRUE(outcome.finished);
        EXPECT_EQ(outcome.exitCode, -1);
    }

    ProductSandbox sandbox_;
};

std::vector<std::wstring> just(const std::wstring& library)
{
    return {library};
}

}  // namespace

TEST_F(RuntimeSources, ConfiguredFolderComesFirstWhateverItsVersion)
{
    std::wstring configured = layOut(L"configured");
    layOut(L"jre64");
    // Bounds hold only for registered runtimes.
    writeSettings("JRE Path=configured\r\nMinimum Version=99\r\n");
    EXPECT_EQ(loadedLibraries(), just(configured));
}

TEST_F(RuntimeSources, ConfiguredFolderWithoutAFittingLibraryFallsThrough)
{
    layOut(L"configured", L"client");
    std::wstring besideInJre64 = layOut(L"jre64");
    writeSettings("JRE Path=configured\r\nJVM Type=server\r\n");
    EXPECT_EQ(loadedLibraries(), just(besideInJre64));
}

TEST_F(RuntimeSources, ExecutableFolderItselfBeatsItsJre64Subfolder)
{
    std::wstring ownFolder = layOut(L"");
    layOut(L"jre64");
    writeSettings("");
    EXPECT_EQ(loadedLibraries(), just(ownFolder));
}

TEST_F(RuntimeSources, RuntimeBesideTheExecutableBeatsTheRegistryAndJavaHome)
{
    std::wstring besideInJre64 = layOut(L"jre64");
    std::wstring registered = layOut(L"registered");
    std::wstring javaHome = layOut(L"javahome");
    WrittenMachineKeys keys;
    ASSERT_TRUE(keys.registerRuntime(kJavaSoftJdk, L"95.0.1", home(L"registered")));
    writeSettings("Minimum Version=90\r\n");
    EXPECT_EQ(loadedLibraries(home(L"javahome")), just(besideInJre64));
}

TEST_F(RuntimeSources, RegistryBeatsJavaHome)
{
    std::wstring registered = layOut(L"registered");
    layOut(L"javahome");
    WrittenMachineKeys keys;
    ASSERT_TRUE(keys.registerRuntime(kJavaSoftJdk, L"95.0.1", home(L"registered")));
    writeSettings("Minimum Version=90\r\n");
    EXPECT_EQ(loadedLibraries(home(L"javahome")), just(registered));
}

TEST_F(RuntimeSources, JavaHomeIsTheLastSourceAndNeedsJavaDll)
{
    // A minimum no registered runtime reaches keeps the registry out of it.
    std::wstring javaHome = layOut(L"javahome");
    writeSettings("Minimum Version=200\r\n");
    EXPECT_EQ(loadedLibraries(home(L"javahome") + L"\\"), just(javaHome));

    ASSERT_TRUE(DeleteFileW(home(L"javahome\\bin\\java.dll").c_str()));
    EXPECT_TRUE(loadedLibraries(home(L"javahome")).empty());
}

TEST_F(RuntimeSources, RuntimeBesideTheExecutableIsNeverHandedToThePair)
{
    // An x86 runtime in jre64 with a pair product configured: no bitness
    // check for this source, so the 64-bit launcher tries to load it itself.
    std::optional<std::wstring> library = layOutThirtyTwoBitRuntime(L"jre64");
    if (!library) {
        GTEST_SKIP() << "this tree was configured without the 32-bit build";
    }
    writeSettings("", "Pair Product=" + toUtf8(home(L"pair.exe")) + "\r\nPair Return Code=Yes\r\n");
    expectBadImageMessage(*library);
}

// A runtime the launcher can load itself is never handed over: for the
// 64-bit launcher an x64 runtime, for the paired 32-bit build (this test in
// the 32-bit tree) an x86 one, which it must not pass on to a pair again.
TEST_F(RuntimeSources, ConfiguredRuntimeOfTheLaunchersOwnKindRunsHereDespiteAPair)
{
    std::wstring configured = layOut(L"configured");
    writeSettings("JRE Path=configured\r\n",
                  "Pair Product=" + toUtf8(home(L"pair.exe")) + "\r\nPair Return Code=Yes\r\n");
    EXPECT_EQ(loadedLibraries(), just(configured));
}

TEST_F(RuntimeSources, ConfiguredX86RuntimeWithoutPairProductIsNotHandedOver)
{
    std::optional<std::wstring> library = layOutThirtyTwoBitRuntime(L"runtime32");
    if (!library) {
        GTEST_SKIP() << "this tree was configured without the 32-bit build";
    }
    writeSettings("JRE Path=runtime32\r\n");
    expectBadImageMessage(*library);
}
