// Real Java in single-instance mode: the first instance's program runs in a
// real VM and its secondaryMain, void or int, receives what later starts of
// the same product hand over; each later start gets its own answer.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "real_java_product.h"
#include "support/polling.h"
#include "support/test_jvm/argument_trace.h"
#include "support/test_text.h"
#include "support/ui_driver.h"

using namespace harness;

namespace {

using Arguments = std::vector<std::wstring>;

constexpr wchar_t kFirstOutput[] = L"first-out.txt";
constexpr wchar_t kFirstErrors[] = L"first-err.txt";

class RealJavaInstance : public RealJavaTest {
protected:
    void TearDown() override
    {
        // The program stays until it finds "stop" in its current folder.
        if (first) {
            static_cast<void>(product.sandbox().writeFile(L"stop", ""));
            // After a failure the first instance may hang on a box: no wait for it.
            if (HasFailure()) {
                first->kill();
            } else {
                static_cast<void>(first->waitForExit(kRealRunLimit));
            }
        }
    }

    [[nodiscard]] bool writeSettings(std::string_view mainClass)
    {
        return product.writeSettings(mainClass, "", "[Application]\r\nSingle Instance=yes\r\n");
    }

    std::optional<RunningProcess> startLauncher(const Arguments& arguments,
                                                std::wstring_view output = {},
                                                std::wstring_view errors = {})
    {
        const std::wstring executable = product.sandbox().executablePath();
        ProcessStart start(executable, commandLineOf(executable, arguments));
        start.currentFolder = product.sandbox().folder();
        start.environment = product.environment();
        if (!output.empty()) {
            start.outputFile = product.sandbox().pathOf(output);
            start.errorFile = product.sandbox().pathOf(errors);
        }
        return RunningProcess::start(start);
    }

    // The first instance, once its main runs.
    [[nodiscard]] bool startFirstInstance()
    {
        first = startLauncher({L"first"}, kFirstOutput, kFirstErrors);
        if (!first) {
            return false;
        }
        // A first instance that ends or shows a box instead fails at once.
        bool stuck = false;
        auto mainRunsOrStuck = [&] {
            stuck = !first->isRunning() || waitForDialog(first->id(), 0).has_value();
            return stuck || mainArgumentsFromTrace(linesOf(kFirstOutput)).has_value();
        };
        return pollUntil(mainRunsOrStuck, kRealRunLimit, 100) && !stuck;
    }

    // Every secondaryMain call of the form the first instance's program has
    // reported, once there are at least `count`; what there is at the limit.
    std::vector<Arguments> waitForSecondaryCalls(std::string_view form, std::size_t count) const
    {
        std::vector<Arguments> calls;
        auto enoughCalls = [&] {
            calls = secondaryArgumentsFromTrace(linesOf(kFirstOutput), form);
            return calls.size() >= count;
        };
        static_cast<void>(pollUntil(enoughCalls, kRealRunLimit, 100));
        return calls;
    }

    // Ends the first instance the way its program allows and checks it ran
    // its main alone: no later start ran one of its own.
    void expectFirstInstanceEndsAlone()
    {
        ASSERT_TRUE(product.sandbox().writeFile(L"stop", ""));
        ProcessOutcome outcome = first->waitForExit(kRealRunLimit);
        first.reset();
        EXPECT_TRUE(outcome.finished);
        EXPECT_EQ(outcome.exitCode, 0);
        std::vector<std::string> lines = linesOf(kFirstOutput);
        EXPECT_EQ(test_jvm::readArgumentTraces(lines, "main").size(), 1u) << textOf(kFirstOutput);
        EXPECT_TRUE(traceHas(lines, "first instance ends")) << textOf(kFirstOutput);
    }

    std::optional<RunningProcess> first;
};

TEST_F(RealJavaInstance, VoidSecondaryMainReceivesTheLaterStartsArguments)
{
    ASSERT_TRUE(writeSettings("tarvo.e2e.SecondaryVoid"));
    ASSERT_TRUE(startFirstInstance()) << textOf(kFirstErrors);
    EXPECT_EQ(mainArgumentsFromTrace(linesOf(kFirstOutput)), Arguments{L"first"});

    const std::vector<Arguments> sent = {
        {L"doc one.txt", L"Gr\u00fc\u00dfe \u65e5\u672c \U0001F600"},
        {L"-open", L"C:\\My Files\\b.txt"},
    };
    for (const Arguments& arguments : sent) {
        std::optional<RunningProcess> later = startLauncher(arguments);
        ASSERT_TRUE(later);
        ProcessOutcome outcome = later->waitForExit(kRealRunLimit);
        EXPECT_TRUE(outcome.finished);
        EXPECT_EQ(outcome.exitCode, 0);
    }
    EXPECT_EQ(waitForSecondaryCalls("void", sent.size()), sent) << textOf(kFirstOutput);
    expectFirstInstanceEndsAlone();
}

TEST_F(RealJavaInstance, FiveLaterStartsAtOnceEachGetTheirOwnAnswerFromIntSecondaryMain)
{
    ASSERT_TRUE(writeSettings("tarvo.e2e.SecondaryInt"));
    ASSERT_TRUE(startFirstInstance()) << textOf(kFirstErrors);

    constexpr int kStarts = 5;
    std::vector<Arguments> sent;
    std::vector<RunningProcess> starts;
    for (int i = 0; i < kStarts; ++i) {
        // Signed answers, each start its own.
        int answer = (i % 2 == 0 ? 1 : -1) * (1000 + 7 * i);
        sent.push_back({std::to_wstring(answer), L"start " + std::to_wstring(i)});
    }
    for (const Arguments& arguments : sent) {
        std::optional<RunningProcess> later = startLauncher(arguments);
        ASSERT_TRUE(later);
        starts.push_back(std::move(*later));
    }
    for (int i = 0; i < kStarts; ++i) {
        ProcessOutcome outcome = starts[i].waitForExit(kRealRunLimit);
        EXPECT_TRUE(outcome.finished) << "start " << i;
        EXPECT_EQ(outcome.exitCode, std::stoi(sent[i][0])) << "start " << i;
    }
    std::vector<Arguments> received = waitForSecondaryCalls("int", kStarts);
    std::sort(received.begin(), received.end());
    std::sort(sent.begin(), sent.end());
    EXPECT_EQ(received, sent) << textOf(kFirstOutput);
    expectFirstInstanceEndsAlone();
}

}  // namespace
