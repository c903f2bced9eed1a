// The console build (tarvoc.exe) end to end: the exit codes of the Windows
// build, error texts on standard error instead of boxes, no window of any
// kind, the runtime-not-found case printed, the Java program's output in a
// pipe and in a file, and an uncaught exception reported by the VM itself.
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "real_java_product.h"
#include "runtime/runtime_dialog_ids.h"
#include "support/java_product.h"
#include "support/test_jvm/test_jvm_variables.h"
#include "support/test_paths.h"
#include "support/test_text.h"

using namespace harness;

namespace {

constexpr DWORD kRunLimit = 30000;

// The runs a test expects to end by themselves, without any window.
void expectEndedWithoutWindows(const LauncherRun& run)
{
    EXPECT_TRUE(run.outcome.finished) << "the launcher did not end by itself";
    EXPECT_TRUE(run.boxes.empty()) << toUtf8(run.boxes.empty() ? L"" : run.boxes.front());
    EXPECT_TRUE(run.windowClasses.empty())
        << "a window: " << toUtf8(run.windowClasses.empty() ? L"" : run.windowClasses.front());
}

bool contains(const std::string& text, std::string_view part)
{
    return text.find(part) != std::string::npos;
}

class ConsoleBuild : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(product.create());
        ASSERT_TRUE(product.useConsoleBuild());
        product.pipeStandardStreams(true);
    }

    LauncherRun run(const std::vector<std::wstring>& arguments = {})
    {
        LauncherRun result = product.run(arguments, kRunLimit);
        expectEndedWithoutWindows(result);
        return result;
    }

    JavaProduct product;
};

TEST_F(ConsoleBuild, ExitCodesAreThoseOfTheWindowsBuild)
{
    ASSERT_TRUE(product.writeSettings("tarvo.test.Main"));
    LauncherRun returned = run({L"eins"});
    EXPECT_EQ(returned.outcome.exitCode, 0);
    EXPECT_EQ(mainArgumentsFromTrace(returned.trace), std::vector<std::wstring>{L"eins"});
    // The test runtime's main says so on System.err; the launcher adds nothing.
    EXPECT_EQ(returned.error, "main: error stream\r\n");

    ASSERT_TRUE(product.writeSettings("tarvo.test.Exit"));
    for (int code : {5, -2}) {
        product.environment().set(test_jvm::kExitCodeVariable, std::to_wstring(code));
        EXPECT_EQ(run().outcome.exitCode, code);
    }
}

TEST_F(ConsoleBuild, FailedStartWritesItsMessageToStandardErrorAsUtf8)
{
    ASSERT_TRUE(product.writeSettings("tarvo.test.Main"));
    product.environment().set(test_jvm::kCreateResultVariable, L"-4");
    LauncherRun failed = run();
    EXPECT_EQ(failed.outcome.exitCode, -1);
    // Text 203 with 213 and 228, the lines ended as Windows ends them.
    EXPECT_EQ(failed.error, toUtf8(L"JNI Fehler: konnte die Java VM nicht erzeugen\r\n"
                                   L"Reason: nicht genügend Arbeitsspeicher.\r\n"));
    EXPECT_EQ(failed.output, "");

    // A missing "Main Class": text 210, which has no line end of its own.
    ASSERT_TRUE(product.sandbox().writeIni("[Java Runtime Environment]\r\n"));
    failed = run();
    EXPECT_EQ(failed.outcome.exitCode, -1);
    EXPECT_EQ(failed.error, "Main class in der INI-Datei nicht spezifiziert.\r\n");
}

TEST_F(ConsoleBuild, MessageGoesToTheErrorFileWhenStandardErrorIsAFile)
{
    ASSERT_TRUE(product.writeSettings("com.example.Missing"));
    product.environment().set(test_jvm::kNoLauncherHelperVariable, L"1");
    product.captureStandardStreams(L"out.txt", L"err.txt");
    LauncherRun failed = run();
    EXPECT_EQ(failed.outcome.exitCode, -1);
    // The runtime describes the exception first, then comes text 215.
    std::string error = product.sandbox().readFile(L"err.txt").value_or("");
    EXPECT_TRUE(error.ends_with("\r\nKonnte die Main class com/example/Missing nicht finden.\r\n"))
        << error;
    EXPECT_EQ(failed.error, "");
}

// No runtime anywhere: none beside the product, none registered, no JAVA_HOME.
TEST_F(ConsoleBuild, RuntimeNotFoundIsPrintedAndTheStartFails)
{
    ASSERT_TRUE(product.writeSettings("tarvo.test.Main", "Minimum Version=1.8\r\n"));
    ASSERT_TRUE(removeFolderTree(product.sandbox().pathOf(L"jre64")));
    LauncherRun failed = run();
    EXPECT_EQ(failed.outcome.exitCode, -1);
    EXPECT_EQ(failed.error,
              toUtf8(L"Die Java-Laufzeitumgebung (JRE) wurde nicht gefunden. Bitte downloaden und "
                     L"installieren Sie eine JRE (minimum Version 1.8) von:\r\n"
                     L"" RUNTIME_DOWNLOAD_ADDRESS L"\r\n"));
    // Nothing was chosen, so nothing is remembered.
    EXPECT_FALSE(product.sandbox().exists(L"AppData"));
}

// The console build hands an x86 runtime to its pair's console build, which
// writes to the same pipe: its message arrives, and its exit code comes back.
// Where 32-bit programs cannot run, the 64-bit console build stands in for
// the pair: the hand-over does not look at what it starts.
TEST_F(ConsoleBuild, PairConsoleBuildWritesToTheSameStandardHandles)
{
    std::optional<std::wstring> pairWindowsBuild = pairLauncherPath();
    std::optional<std::wstring> pairConsoleBuild = pairConsoleLauncherPath();
    if (!pairWindowsBuild || !pairConsoleBuild) {
        GTEST_SKIP() << "this tree was configured without the 32-bit build";
    }
    wchar_t canRun[4] = {};
    GetEnvironmentVariableW(L"TARVO_CAN_RUN_WIN32", canRun, 4);
    if (std::wstring(canRun) != L"1") {
        pairConsoleBuild = consoleLauncherPath();
    }
    const ProductSandbox& sandbox = product.sandbox();
    // A genuine x86 image stands in for the runtime's JVM library: the
    // bitness check reads only its headers.
    std::optional<std::string> x86Image = readFileBytes(*pairWindowsBuild);
    std::optional<std::string> pairImage = readFileBytes(*pairConsoleBuild);
    ASSERT_TRUE(x86Image && pairImage);
    ASSERT_TRUE(sandbox.writeFile(L"runtime32\\bin\\server\\jvm.dll", *x86Image));
    ASSERT_TRUE(sandbox.writeFile(L"runtime32\\bin\\java.dll", "not needed"));
    ASSERT_TRUE(sandbox.writeFile(L"pair\\Acme Tool 32.exe", *pairImage));
    // Without "Main Class" the pair fails at once, saying so.
    ASSERT_TRUE(sandbox.writeFile(L"pair\\Acme Tool 32.ini", "[Application]\r\n"));
    ASSERT_TRUE(product.writeSettings(
        "tarvo.test.Main", "JRE Path=runtime32\r\n",
        "[Application]\r\nPair Product=" + toUtf8(sandbox.pathOf(L"pair\\Acme Tool 32.exe")) +
            "\r\nPair Return Code=YES\r\n"));
    LauncherRun handedOver = run();
    EXPECT_EQ(handedOver.outcome.exitCode, -1);
    EXPECT_EQ(handedOver.error, "Main class in der INI-Datei nicht spezifiziert.\r\n");
    EXPECT_TRUE(handedOver.trace.empty()) << "the 64-bit launcher loaded a runtime";
}

// Real Java through the bridge runtime: what the program prints arrives where
// the launcher's standard handles lead.
class ConsoleBuildWithRealJava : public RealJavaTest {
protected:
    void SetUp() override
    {
        RealJavaTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        ASSERT_TRUE(product.useConsoleBuild());
        product.captureStandardStreams(L"", L"");
        product.pipeStandardStreams(true);
    }

    LauncherRun run(const std::vector<std::wstring>& arguments = {})
    {
        LauncherRun result = product.run(arguments, kRealRunLimit);
        expectEndedWithoutWindows(result);
        return result;
    }
};

TEST_F(ConsoleBuildWithRealJava, OutputThroughAPipeAndThroughFiles)
{
    ASSERT_TRUE(product.writeSettings("tarvo.e2e.Main"));
    LauncherRun piped = run({L"Rohr"});
    EXPECT_EQ(piped.outcome.exitCode, 0);
    EXPECT_TRUE(contains(piped.output, "main returns")) << piped.output;
    EXPECT_TRUE(contains(piped.error, "error stream Rohr")) << piped.error;
    EXPECT_FALSE(contains(piped.output, "error stream")) << piped.output;

    product.captureStandardStreams(kOutputName, kErrorName);
    LauncherRun intoFiles = run({L"Datei"});
    EXPECT_EQ(intoFiles.outcome.exitCode, 0);
    EXPECT_TRUE(contains(textOf(kOutputName), "main returns")) << textOf(kOutputName);
    EXPECT_TRUE(contains(textOf(kErrorName), "error stream Datei")) << textOf(kErrorName);
}

TEST_F(ConsoleBuildWithRealJava, SystemExitCodesAndTheRedirectionKeysWin)
{
    ASSERT_TRUE(product.writeSettings("tarvo.e2e.Exit"));
    for (int code : {5, -2}) {
        LauncherRun exited = run({std::to_wstring(code)});
        EXPECT_EQ(exited.outcome.exitCode, code);
        EXPECT_TRUE(contains(exited.output, "exit " + std::to_string(code))) << exited.output;
    }

    // A redirection key takes System.out away from the pipe.
    ASSERT_TRUE(product.writeSettings("tarvo.e2e.Main", "",
                                      "[Application]\r\nOutput File=umgeleitet.txt\r\n"));
    LauncherRun redirected = run({L"x"});
    EXPECT_EQ(redirected.outcome.exitCode, 0);
    EXPECT_FALSE(contains(redirected.output, "main returns")) << redirected.output;
    EXPECT_TRUE(
        contains(product.sandbox().readFile(L"umgeleitet.txt").value_or(""), "main returns"));
    EXPECT_TRUE(contains(redirected.error, "error stream x")) << redirected.error;
}

// With "Failure Check" the Windows build shows its dialog; the console build
// leaves the exception to the VM, which prints it as the java command does.
TEST_F(ConsoleBuildWithRealJava, UncaughtExceptionIsReportedByTheVm)
{
    ASSERT_TRUE(
        product.writeSettings("tarvo.e2e.Throws", "", "[Application]\r\nFailure Check=Yes\r\n"));
    LauncherRun threw = run();
    EXPECT_EQ(threw.outcome.exitCode, 0);
    EXPECT_TRUE(contains(threw.error, "Exception in thread \"main\" java.lang.RuntimeException"))
        << threw.error;
    EXPECT_TRUE(contains(threw.error, "Caused by: java.lang.IllegalStateException")) << threw.error;
}

}  // namespace
