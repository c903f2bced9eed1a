// System.out and System.err of the Java program written to the files the
// settings name: time-stamped names, missing folders, appending or not.
#include <gtest/gtest.h>
#include <windows.h>

#include <regex>
#include <string>
#include <vector>

#include "support/java_product.h"
#include "support/test_text.h"

using namespace harness;

namespace {

class StreamRedirection : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(product.create()); }

    void expectCleanRun(const std::vector<std::wstring>& arguments = {})
    {
        LauncherRun run = product.run(arguments);
        EXPECT_TRUE(run.outcome.finished);
        EXPECT_EQ(run.outcome.exitCode, 0);
        EXPECT_EQ(run.boxes, std::vector<std::wstring>{});
        trace = run.trace;
    }

    // The names of the files in a folder of the sandbox.
    std::vector<std::string> filesIn(std::wstring_view folder) const
    {
        std::vector<std::string> names;
        for (const std::wstring& name : product.sandbox().filesIn(folder)) {
            names.push_back(toUtf8(name));
        }
        return names;
    }

    JavaProduct product;
    std::vector<std::string> trace;
};

TEST_F(StreamRedirection, TimeStampedNamesInAFolderThatIsCreated)
{
    ASSERT_TRUE(product.writeSettings(
        "tarvo.test.Main", "",
        "[Application]\r\nOutput File=logs\\new\\out_%yyyy-MM-dd_HH-mm-ss_L%.log\r\n"
        "Error File=logs\\new\\err_%yyyy-MM-dd_HH-mm-ss_L%.log\r\n"));
    SYSTEMTIME before;
    GetLocalTime(&before);
    expectCleanRun({L"Grüße"});

    std::vector<std::string> files = filesIn(L"logs\\new");
    ASSERT_EQ(files.size(), 2u);
    std::regex stamped(
        "(err|out)_(\\d{4})-(\\d{2})-(\\d{2})_\\d{2}-\\d{2}-\\d{2}_(\\d{1,3})\\.log");
    std::smatch first;
    std::smatch second;
    ASSERT_TRUE(std::regex_match(files[0], first, stamped)) << files[0];
    ASSERT_TRUE(std::regex_match(files[1], second, stamped)) << files[1];
    // Both names carry the one time read for them.
    EXPECT_EQ(files[0].substr(4), files[1].substr(4));
    EXPECT_EQ(std::stoi(first[2]), before.wYear);
    // Milliseconds in plain decimal: no leading zero.
    EXPECT_FALSE(first[5].str().size() > 1 && first[5].str()[0] == '0') << files[0];

    std::string outputFile = first[1] == "out" ? files[0] : files[1];
    std::string errorFile = first[1] == "out" ? files[1] : files[0];
    EXPECT_EQ(product.sandbox().readFile(L"logs\\new\\" +
                                         std::wstring(outputFile.begin(), outputFile.end())),
              "main: 1 arguments\r\nGrüße\r\n");
    EXPECT_EQ(product.sandbox().readFile(L"logs\\new\\" +
                                         std::wstring(errorFile.begin(), errorFile.end())),
              "main: error stream\r\n");
}

TEST_F(StreamRedirection, OnlyLowerCaseYesAppends)
{
    ASSERT_TRUE(product.sandbox().writeFile(L"out.log", "earlier\r\n"));
    ASSERT_TRUE(product.sandbox().writeFile(L"err.log", "earlier\r\n"));
    ASSERT_TRUE(
        product.writeSettings("tarvo.test.Main", "",
                              "[Application]\r\nOutput File=out.log\r\nOutput Append=yes\r\n"
                              "Error File=err.log\r\nError Append=Yes\r\n"));
    expectCleanRun();
    EXPECT_EQ(product.sandbox().readFile(L"out.log"), "earlier\r\nmain: 0 arguments\r\n");
    // "Yes" is not "yes": the error file starts afresh.
    EXPECT_EQ(product.sandbox().readFile(L"err.log"), "main: error stream\r\n");
    EXPECT_TRUE(traceHas(trace, "FileOutputStream out.log append=1 opened"));
}

TEST_F(StreamRedirection, FileThatCannotBeOpenedLeavesTheStreamAndTheProgramRuns)
{
    ASSERT_TRUE(product.writeSettings("tarvo.test.Main", "",
                                      "[Application]\r\nOutput File=bad<name>.log\r\n"
                                      "Error File=err.log\r\n"));
    expectCleanRun();
    EXPECT_TRUE(mainArgumentsFromTrace(trace).has_value());
    EXPECT_EQ(product.sandbox().readFile(L"err.log"), "main: error stream\r\n");
}

}  // namespace
