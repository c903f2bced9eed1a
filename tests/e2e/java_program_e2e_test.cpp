// A whole start with the test Java runtime: the exit code of every way a run
// can end, the message each failure shows, and what the Java side receives
// (the main class, its arguments, the streams, the VM thread's stack).
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "support/java_product.h"
#include "support/test_jvm/test_jvm_variables.h"
#include "support/test_text.h"

using namespace harness;

namespace {

const std::wstring kVmNotCreated = L"JNI Fehler: konnte die Java VM nicht erzeugen\nReason: ";

class JavaProgram : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(product.create()); }

    // Runs and expects the exit code and exactly the boxes given.
    LauncherRun expectRun(int exitCode, const std::vector<std::wstring>& boxes,
                          const std::vector<std::wstring>& arguments = {})
    {
        LauncherRun run = product.run(arguments);
        EXPECT_TRUE(run.outcome.finished) << "the launcher did not end by itself";
        EXPECT_EQ(run.outcome.exitCode, exitCode);
        EXPECT_EQ(run.boxes, boxes);
        return run;
    }

    JavaProduct product;
};

// main and System.exit decide the exit code.

TEST_F(JavaProgram, MainReturningEndsWithZeroAndGetsTheArguments)
{
    ASSERT_TRUE(product.writeSettings("tarvo.test.Main"));
    std::vector<std::wstring> arguments = {L"C:\\Docs\\letter one.txt", L"-x", L""};
    LauncherRun run = expectRun(0, {}, arguments);
    EXPECT_EQ(mainArgumentsFromTrace(run.trace), arguments);
    // The runtime's launcher class gets the name with dots, as the java command gives it.
    EXPECT_TRUE(traceHas(
        run.trace, "LauncherHelper.checkAndLoadMain printToStderr=1 mode=1 name=tarvo.test.Main"));
    EXPECT_TRUE(traceHas(run.trace, "DetachCurrentThread"));
    EXPECT_TRUE(traceHas(run.trace, "DestroyJavaVM returns"));
}

TEST_F(JavaProgram, NoArgumentsGiveAnEmptyArray)
{
    ASSERT_TRUE(product.writeSettings("tarvo.test.Main"));
    LauncherRun run = expectRun(0, {});
    EXPECT_EQ(mainArgumentsFromTrace(run.trace), std::vector<std::wstring>{});
}

TEST_F(JavaProgram, ArgumentsOutsideTheAnsiCodePageReachMainUnchanged)
{
    ASSERT_TRUE(product.writeSettings("tarvo.test.Main"));
    // Greek, CJK, an emoji (a surrogate pair) and a character no code page has.
    std::vector<std::wstring> arguments = {L"\u03a9mega", L"\u65e5\u672c\u8a9e",
                                           L"smile \U0001F600", L"\u2603\u0301"};
    LauncherRun run = expectRun(0, {}, arguments);
    EXPECT_EQ(mainArgumentsFromTrace(run.trace), arguments);
}

TEST_F(JavaProgram, CmdArgumentsComeAfterThoseOfTheCommandLine)
{
    ASSERT_TRUE(product.writeSettings(
        "tarvo.test.Main", "", "[Application]\r\nCmd=-open \"C:\\My Files\\a.txt\"  -log\r\n"));
    LauncherRun run = expectRun(0, {}, {L"first"});
    EXPECT_EQ(mainArgumentsFromTrace(run.trace),
              (std::vector<std::wstring>{L"first", L"-open", L"C:\\My Files\\a.txt", L"-log"}));
}

TEST_F(JavaProgram, SystemExitGivesItsCodeThroughTheExitHook)
{
    ASSERT_TRUE(product.writeSettings("tarvo.test.Exit"));
    for (int code : {7, -5}) {
        product.environment().set(test_jvm::kExitCodeVariable, std::to_wstring(code));
        LauncherRun run = expectRun(code, {});
        EXPECT_TRUE(traceHas(run.trace, "exit hook " + std::to_string(code)));
    }
}

TEST_F(JavaProgram, TheHooksFollowTheOptionsWithTheirFunctions)
{
    ASSERT_TRUE(product.writeSettings("tarvo.test.Main"));
    LauncherRun run = expectRun(0, {});
    EXPECT_TRUE(traceHas(run.trace,
                         "JNI_CreateJavaVM version=0x00010002 options=3 "
                         "ignoreUnrecognized=0"));
    std::vector<std::string> options = vmOptionsFromTrace(run.trace);
    ASSERT_EQ(options.size(), 3u);
    EXPECT_EQ(options[1], "abort");
    EXPECT_EQ(options[2], "exit");
    EXPECT_TRUE(traceHas(run.trace, "option+extraInfo abort"));
    EXPECT_TRUE(traceHas(run.trace, "option+extraInfo exit"));
}

TEST_F(JavaProgram, NonDaemonThreadKeepsTheProcessUntilItEnds)
{
    ASSERT_TRUE(product.writeSettings("tarvo.test.KeepsAlive"));
    product.environment().set(test_jvm::kAliveMillisecondsVariable, L"1500");
    LauncherRun run = expectRun(0, {});
    // main returned and the thread detached long before the Java thread
    // ended; the process waited for it in DestroyJavaVM.
    auto at = [&](std::string_view line) {
        return std::find(run.trace.begin(), run.trace.end(), line) - run.trace.begin();
    };
    ASSERT_TRUE(traceHas(run.trace, "non-daemon thread ended"));
    EXPECT_LT(at("DetachCurrentThread"), at("non-daemon thread ended"));
    EXPECT_LT(at("non-daemon thread ended"), at("DestroyJavaVM returns"));
}

TEST_F(JavaProgram, ExceptionFromMainWithoutFailureCheckStillEndsWithZero)
{
    ASSERT_TRUE(
        product.writeSettings("tarvo.test.Throws", "", "[Application]\r\nFailure Check=No\r\n"));
    LauncherRun run = expectRun(0, {});
    EXPECT_TRUE(mainArgumentsFromTrace(run.trace).has_value());
}

// The VM cannot be created.

TEST_F(JavaProgram, EveryCreationFailureNamesItsReason)
{
    ASSERT_TRUE(product.writeSettings("tarvo.test.Main"));
    const std::vector<std::pair<int, std::wstring>> reasons = {
        {-1, L"unbekannt"},
        {-2, L"Thread von der VM getrennt"},
        {-3, L"JNI Versionsfehler"},
        {-4, L"nicht genügend Arbeitsspeicher"},
        {-5, L"VM bereits erzeugt"},
        {-6, L"ungültige Argumente"},
        {-7, L""},
    };
    for (const auto& [code, reason] : reasons) {
        product.environment().set(test_jvm::kCreateResultVariable, std::to_wstring(code));
        LauncherRun run = expectRun(-1, {kVmNotCreated + reason + L".\n"});
        EXPECT_FALSE(mainArgumentsFromTrace(run.trace).has_value()) << code;
        // No VM, so none to destroy at the end.
        EXPECT_FALSE(traceHas(run.trace, "DestroyJavaVM")) << code;
    }
}

TEST_F(JavaProgram, OptionTheVmDoesNotKnowFailsTheCreation)
{
    ASSERT_TRUE(product.writeSettings("tarvo.test.Main",
                                      "Virtual Machine Parameters=-Xmx64m "
                                      "--no-such-option\r\n"));
    // As HotSpot answers an option it does not know at all: JNI_ERR.
    expectRun(-1, {kVmNotCreated + L"unbekannt.\n"});
}

// The main class or its main method cannot be found.

TEST_F(JavaProgram, MissingClassThroughLauncherHelperCannotBeLoaded)
{
    ASSERT_TRUE(product.writeSettings("com.example.Missing"));
    // The launcher class leaves its error pending, so the fallback cannot even
    // make its string.
    expectRun(-1, {L"Konnte die Main Class: com/example/Missing nicht laden.\n"});
}

TEST_F(JavaProgram, LauncherHelperFailingLeavesTheClassUnloaded)
{
    ASSERT_TRUE(product.writeSettings("tarvo.test.Main"));
    product.environment().set(test_jvm::kLauncherHelperFailsVariable, L"1");
    LauncherRun run = expectRun(-1, {L"Konnte die Main Class: tarvo/test/Main nicht laden.\n"});
    EXPECT_FALSE(mainArgumentsFromTrace(run.trace).has_value());
}

TEST_F(JavaProgram, WithoutLauncherHelperTheClassIsFoundWithItsSlashName)
{
    ASSERT_TRUE(product.writeSettings("tarvo.test.Main"));
    product.environment().set(test_jvm::kNoLauncherHelperVariable, L"1");
    LauncherRun run = expectRun(0, {}, {L"a"});
    EXPECT_TRUE(traceHas(run.trace, "FindClass tarvo/test/Main"));
    EXPECT_EQ(mainArgumentsFromTrace(run.trace), std::vector<std::wstring>{L"a"});

    ASSERT_TRUE(product.writeSettings("com.example.Missing"));
    run = expectRun(-1, {L"Konnte die Main class com/example/Missing nicht finden.\n"});
    EXPECT_TRUE(traceHas(run.trace, "FindClass com/example/Missing"));
}

TEST_F(JavaProgram, ClassWithoutMain)
{
    // A VM that reports the missing method itself: its description is all.
    ASSERT_TRUE(product.writeSettings("tarvo.test.NoMain"));
    expectRun(-1, {});
    // One that does not: the launcher says so.
    ASSERT_TRUE(product.writeSettings("tarvo.test.NoMainQuiet"));
    expectRun(-1, {L"Keine Main class in der angegebenen Klasse gefunden.\n"});
}

class OlderJavaProgram : public JavaProgram {
protected:
    void SetUp() override { ASSERT_TRUE(product.create(TestJvm::withoutBootClassFinder)); }
};

TEST_F(OlderJavaProgram, RuntimeWithoutBootClassFinderUsesFindClass)
{
    ASSERT_TRUE(product.writeSettings("tarvo.test.Main"));
    LauncherRun run = expectRun(0, {});
    EXPECT_TRUE(traceHas(run.trace, "FindClass tarvo/test/Main"));
    ASSERT_TRUE(product.writeSettings("com.example.Missing"));
    expectRun(-1, {L"Konnte die Main class com/example/Missing nicht finden.\n"});
}

// The JVM library cannot be bound.

TEST_F(JavaProgram, LibraryThatCannotBeLoadedShowsItsPathAndTheError)
{
    ASSERT_TRUE(product.writeSettings("tarvo.test.Main"));
    // Without the library it imports from the runtime's bin folder.
    ASSERT_TRUE(DeleteFileW(product.sandbox().pathOf(L"jre64\\bin\\test_jvm_helper.dll").c_str()));
    expectRun(-1, {L"Konnte Java VM Bibliothek: " + product.jvmLibraryPath() +
                   L" (Fehlernummer= 126) nicht laden.\n"});

    // A file that is no DLL at all.
    ASSERT_TRUE(writeFileBytes(product.jvmLibraryPath(), "not a library"));
    expectRun(-1, {L"Konnte Java VM Bibliothek: " + product.jvmLibraryPath() +
                   L" (Fehlernummer= 193) nicht laden.\n"});
}

TEST(JavaProgramBinding, EachMissingEntryPointShowsOneBox)
{
    for (TestJvm variant : {TestJvm::withoutJniEntries, TestJvm::withoutCreateJavaVm,
                            TestJvm::withoutDefaultInitArgs}) {
        JavaProduct product;
        ASSERT_TRUE(product.create(variant));
        ASSERT_TRUE(product.writeSettings("tarvo.test.Main"));
        LauncherRun run = product.run();
        EXPECT_TRUE(run.outcome.finished);
        EXPECT_EQ(run.outcome.exitCode, -1);
        EXPECT_EQ(run.boxes,
                  std::vector<std::wstring>{L"Windows Fehler: Kann CreateJavaVM JNI nicht finden "
                                            L"(Fehlernummer = 127).\n"});
    }
}

// The VM thread's stack.

std::string stackReserveLine(std::uint64_t bytes)
{
    return "vm thread stack reserve=" + std::to_string(bytes);
}

TEST_F(JavaProgram, StackSizeOfTheVmThread)
{
    // Sizes in whole megabytes above the executable's 2 MiB reserve: the
    // system reserves them exactly (Windows rounds to 1 MiB, Wine to 64 KiB).
    ASSERT_TRUE(product.writeSettings("tarvo.test.Main", "Virtual Machine Parameters=-Xss8m\r\n"));
    LauncherRun run = expectRun(0, {});
    EXPECT_TRUE(traceHas(run.trace, stackReserveLine(8 * 1048576)));
    // The option still reaches the VM.
    EXPECT_EQ(vmOptionsFromTrace(run.trace).front(),
              "-Djava.class.path=" + toUtf8(product.sandbox().pathOf(L"app.jar")) + ";");

    // Of two -Xss options the later one counts; the VM gets both.
    ASSERT_TRUE(
        product.writeSettings("tarvo.test.Main", "Virtual Machine Parameters=-Xss16m -Xss5m\r\n"));
    run = expectRun(0, {});
    EXPECT_TRUE(traceHas(run.trace, stackReserveLine(5 * 1048576)));
    EXPECT_TRUE(traceHas(run.trace, "option -Xss16m"));
    EXPECT_TRUE(traceHas(run.trace, "option -Xss5m"));
    // With a size from the options the VM is not asked for its default.
    EXPECT_FALSE(traceHas(run.trace, "JNI_GetDefaultJavaVMInitArgs version=0x00010001"));
}

TEST_F(JavaProgram, WithoutXssTheVmDefaultSizesTheThread)
{
    ASSERT_TRUE(product.writeSettings("tarvo.test.Main"));
    product.environment().set(test_jvm::kStackSizeVariable, std::to_wstring(6 * 1048576));
    LauncherRun run = expectRun(0, {});
    EXPECT_TRUE(traceHas(run.trace, "JNI_GetDefaultJavaVMInitArgs version=0x00010001"));
    EXPECT_TRUE(traceHas(run.trace, stackReserveLine(6 * 1048576)));
}

}  // namespace
