// The bridge runtime's own promises, through a probe that creates its VM the
// way a launcher does: strings cross in both encodings intact, exceptions
// stay pending per thread until cleared, several Windows threads call at
// once, System.exit ends the process with its code after the exit hook, a
// JNI function it lacks fails loudly, a machine without a JDK gets JNI_ERR,
// and the Linux JVM never outlives the Windows process.
#include <winsock2.h>

#include <gtest/gtest.h>

#include <string>

#include "support/bridge_runtime.h"
#include "support/polling.h"
#include "support/process_runner.h"
#include "support/sandbox.h"
#include "support/test_paths.h"

using namespace harness;

namespace {

constexpr DWORD kProbeLimitMilliseconds = 90000;

// The value of the probe's line "name value"; empty when there is none.
std::string valueOf(const std::string& output, const std::string& name)
{
    size_t at = output.find(name + " ");
    if (at == std::string::npos || (at > 0 && output[at - 1] != '\n')) {
        return {};
    }
    size_t start = at + name.size() + 1;
    size_t end = output.find_first_of("\r\n", start);
    return output.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

bool acceptsConnections(int port)
{
    SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bool connected = connect(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    closesocket(probe);
    return connected;
}

class BridgeRuntime : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (std::optional<std::string> problem = bridgeRuntimeProblem()) {
            GTEST_SKIP() << *problem;
        }
        ASSERT_TRUE(sandbox.createEmpty());
    }

    ProcessStart probeStart(const wchar_t* which) const
    {
        std::wstring probe = probePath(L"bridge_probe.exe");
        ProcessStart start(probe, commandLineOf(probe, {jvmLibrary, which}));
        start.currentFolder = sandbox.folder();
        start.environment = environment;
        start.outputFile = sandbox.pathOf(L"stdout.txt");
        start.errorFile = sandbox.pathOf(L"stderr.txt");
        return start;
    }

    ProcessOutcome runProbe(const wchar_t* which)
    {
        std::optional<ProcessOutcome> outcome = runProcess(probeStart(which), kProbeLimitMilliseconds);
        EXPECT_TRUE(outcome && outcome->finished) << "the probe did not end by itself";
        output = sandbox.readFile(L"stdout.txt").value_or("");
        errors = sandbox.readFile(L"stderr.txt").value_or("");
        return outcome.value_or(ProcessOutcome{});
    }

    ProductSandbox sandbox;
    std::wstring jvmLibrary = bridgeRuntimeBuildFolder() + L"\\bin\\server\\jvm.dll";
    EnvironmentBlock environment = EnvironmentBlock::inherited();
    std::string output;
    std::string errors;
};

TEST_F(BridgeRuntime, StringsCrossInBothEncodingsIntact)
{
    runProbe(L"strings");
    ASSERT_EQ(valueOf(output, "created"), "0") << errors;
    // A, U+0000 as C0 80, ü, 漢, and U+1F600 as two surrogates of three bytes each.
    EXPECT_EQ(valueOf(output, "modified-utf8"), "41c080c3bce6bca2eda0bdedb880");
    EXPECT_EQ(valueOf(output, "round-trip"), "same");
}

TEST_F(BridgeRuntime, ExceptionsStayPendingUntilCleared)
{
    runProbe(L"exceptions");
    ASSERT_EQ(valueOf(output, "created"), "0") << errors;
    EXPECT_EQ(valueOf(output, "found"), "none");
    EXPECT_EQ(valueOf(output, "pending"), "1");
    EXPECT_EQ(valueOf(output, "pending-after-clear"), "0");
    EXPECT_EQ(valueOf(output, "exception"), "java.lang.NoClassDefFoundError");
}

TEST_F(BridgeRuntime, AttachedThreadsCallAtTheSameTime)
{
    runProbe(L"threads");
    ASSERT_EQ(valueOf(output, "created"), "0") << errors;
    EXPECT_EQ(valueOf(output, "thread-1"), "0");
    EXPECT_EQ(valueOf(output, "thread-2"), "0");
    EXPECT_EQ(valueOf(output, "main-thread"), "0");
}

TEST_F(BridgeRuntime, SystemExitCallsTheExitHookAndEndsTheProcessWithItsCode)
{
    ProcessOutcome outcome = runProbe(L"exit");
    EXPECT_EQ(outcome.exitCode, -7) << errors;
    EXPECT_EQ(valueOf(output, "exit-hook"), "-7");
    EXPECT_EQ(output.find("exit returned"), std::string::npos);
}

TEST_F(BridgeRuntime, AFunctionItLacksEndsTheProcessLoudly)
{
    ProcessOutcome outcome = runProbe(L"unimplemented");
    EXPECT_EQ(outcome.exitCode, 97);
    EXPECT_NE(errors.find("MonitorEnter is not implemented"), std::string::npos) << errors;
    EXPECT_EQ(output.find("MonitorEnter returned"), std::string::npos);
}

TEST_F(BridgeRuntime, WithoutALinuxJdkCreationFailsWithJniErr)
{
    environment.set(L"TARVO_BRIDGE_JAVA", L"/nonexistent/jdk/bin/java");
    runProbe(L"strings");
    EXPECT_EQ(valueOf(output, "created"), "-1");
    EXPECT_NE(errors.find("no Linux JDK 17"), std::string::npos) << errors;
}

TEST_F(BridgeRuntime, TheLinuxJvmEndsWhenTheProcessIsKilled)
{
    std::optional<RunningProcess> probe = RunningProcess::start(probeStart(L"listen"));
    ASSERT_TRUE(probe);
    std::string port;
    ASSERT_TRUE(pollUntil(
        [&] {
            port = valueOf(sandbox.readFile(L"stdout.txt").value_or(""), "jvm-port");
            return !port.empty();
        },
        kProbeLimitMilliseconds))
        << sandbox.readFile(L"stderr.txt").value_or("");
    WSADATA winsock;
    ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &winsock), 0);
    EXPECT_TRUE(acceptsConnections(std::stoi(port)));

    probe->kill();
    EXPECT_TRUE(pollUntil([&] { return !acceptsConnections(std::stoi(port)); }, 10000))
        << "the Linux JVM outlived the process that started it";
    WSACleanup();
}

}  // namespace
