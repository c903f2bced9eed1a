// What the test Java runtime does to a whole process, through a probe that
// runs one test class as a launcher would: System.exit ends the process with
// its code after calling the exit hook, DestroyJavaVM returns only after the
// last non-daemon thread, and the VM's own System.out and System.err are the
// process's standard handles.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/process_runner.h"
#include "support/sandbox.h"
#include "support/test_jvm/test_jvm_classes.h"
#include "support/test_jvm/test_jvm_variables.h"
#include "support/test_jvm/test_runtime.h"
#include "support/test_paths.h"
#include "support/test_text.h"

using namespace harness;

namespace {

constexpr DWORD kProbeLimitMilliseconds = 60000;

// The position of the line in the trace; the trace's size when it is missing.
size_t lineIndex(const std::vector<std::string>& lines, const std::string& line)
{
    return static_cast<size_t>(std::find(lines.begin(), lines.end(), line) - lines.begin());
}

class TestJvmProcess : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sandbox.createEmpty());
        std::optional<std::wstring> laidOut =
            layOutTestRuntime(sandbox.pathOf(L"jre"), TestJvm::complete);
        ASSERT_TRUE(laidOut);
        jvmLibrary = *laidOut;
        environment.set(test_jvm::kTraceVariable, sandbox.pathOf(L"trace.txt"));
    }

    ProcessOutcome runProbe(const char* className, const std::vector<std::wstring>& arguments)
    {
        std::vector<std::wstring> probeArguments = {
            jvmLibrary, folderOf(folderOf(jvmLibrary)),
            std::wstring(className, className + std::char_traits<char>::length(className))};
        probeArguments.insert(probeArguments.end(), arguments.begin(), arguments.end());
        std::wstring probe = probePath(L"test_jvm_probe.exe");
        ProcessStart start(probe, commandLineOf(probe, probeArguments));
        start.environment = environment;
        start.outputFile = sandbox.pathOf(L"stdout.txt");
        start.errorFile = sandbox.pathOf(L"stderr.txt");
        std::optional<ProcessOutcome> outcome = runProcess(start, kProbeLimitMilliseconds);
        EXPECT_TRUE(outcome && outcome->finished) << "the probe did not end by itself";
        return outcome.value_or(ProcessOutcome{});
    }

    std::vector<std::string> trace() const
    {
        return readTestJvmTrace(sandbox.pathOf(L"trace.txt"));
    }

    ProductSandbox sandbox;
    std::wstring jvmLibrary;
    EnvironmentBlock environment = EnvironmentBlock::inherited();
};

TEST_F(TestJvmProcess, SystemExitCallsTheExitHookAndEndsTheProcessWithItsCode)
{
    environment.set(test_jvm::kExitCodeVariable, L"-7");
    ProcessOutcome outcome = runProbe(test_jvm::kExitClass, {L"x"});
    EXPECT_EQ(outcome.exitCode, -7);

    std::vector<std::string> lines = trace();
    size_t exit = lineIndex(lines, "System.exit -7");
    size_t hook = lineIndex(lines, "exit hook -7");
    size_t hookReturned = lineIndex(lines, "exit hook returned");
    EXPECT_LT(exit, hook);
    EXPECT_LT(hook, hookReturned);
    EXPECT_LT(hookReturned, lines.size());
    // The process ended inside main: nothing of the launcher's ending ran.
    EXPECT_EQ(lineIndex(lines, "DestroyJavaVM"), lines.size());
}

TEST_F(TestJvmProcess, DestroyJavaVmReturnsOnlyAfterTheLastNonDaemonThreadEnded)
{
    environment.set(test_jvm::kAliveMillisecondsVariable, L"500");
    ProcessOutcome outcome = runProbe(test_jvm::kKeepsAliveClass, {});
    EXPECT_EQ(outcome.exitCode, 0);

    std::vector<std::string> lines = trace();
    size_t destroy = lineIndex(lines, "DestroyJavaVM");
    size_t ended = lineIndex(lines, "non-daemon thread ended");
    size_t returns = lineIndex(lines, "DestroyJavaVM returns");
    EXPECT_LT(destroy, lines.size());
    EXPECT_LT(ended, returns);
    EXPECT_LT(returns, lines.size());
}

TEST_F(TestJvmProcess, MainPrintsOnTheStandardHandlesAndExceptionsAreDescribedThere)
{
    ProcessOutcome outcome = runProbe(test_jvm::kMainClass, {L"eins", L"zw\u00F6lf"});
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(sandbox.readFile(L"stdout.txt"),
              std::string("main: 2 arguments\r\neins\r\nzw\xC3\xB6lf\r\n"));
    EXPECT_EQ(sandbox.readFile(L"stderr.txt"), std::string("main: error stream\r\n"));

    outcome = runProbe(test_jvm::kThrowsClass, {});
    EXPECT_EQ(outcome.exitCode, 5);  // the probe's code for an exception from main
    std::string expectedStart = std::string("java.lang.IllegalStateException: ") +
                                test_jvm::kThrowsMessage + "\r\n\tat " + test_jvm::kThrowsFrame +
                                "\r\n";
    std::string errors = sandbox.readFile(L"stderr.txt").value_or("");
    EXPECT_EQ(errors.substr(0, expectedStart.size()), expectedStart) << errors;
    EXPECT_LT(
        lineIndex(trace(), std::string("ExceptionDescribe java.lang.IllegalStateException: ") +
                               test_jvm::kThrowsMessage),
        trace().size());
}

TEST_F(TestJvmProcess, MisusedJniEndsTheProcessWith99AndSaysWhy)
{
    // A function of the table the runtime does not implement names its slot.
    EXPECT_EQ(runProbe("!unimplemented", {}).exitCode, 99);
    std::vector<std::string> lines = trace();
    EXPECT_LT(lineIndex(lines, "unimplemented JNI function AllocObject"), lines.size());

    EXPECT_EQ(runProbe("!null-method", {}).exitCode, 99);
    lines = trace();
    EXPECT_LT(lineIndex(lines, "JNI misuse: CallStaticVoidMethod: null method id"), lines.size());
}

}  // namespace
