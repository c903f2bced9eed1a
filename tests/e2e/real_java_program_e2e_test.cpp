// Real Java through the launcher, run to its end: the exit codes of main
// returning and System.exit, the VM's own refusals, the arguments, class path
// and system properties as main sees them, the redirected streams, and a
// thread that outlives main.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <regex>
#include <string>
#include <vector>

#include "real_java_product.h"
#include "support/test_text.h"

using namespace harness;

namespace {

const std::wstring kVmNotCreated = L"JNI Fehler: konnte die Java VM nicht erzeugen\nReason: ";

class RealJavaProgram : public RealJavaTest {
protected:
    // Runs and expects the exit code and exactly the boxes given.
    LauncherRun expectRun(int exitCode, const std::vector<std::wstring>& boxes,
                          const std::vector<std::wstring>& arguments = {})
    {
        LauncherRun run = product.run(arguments, kRealRunLimit);
        EXPECT_TRUE(run.outcome.finished) << "the launcher did not end by itself";
        EXPECT_EQ(run.outcome.exitCode, exitCode);
        EXPECT_EQ(run.boxes, boxes);
        return run;
    }

    bool outputHas(std::string_view line) const { return traceHas(linesOf(kOutputName), line); }
};

TEST_F(RealJavaProgram, MainReturningGivesZeroAndSystemExitItsCode)
{
    ASSERT_TRUE(product.writeSettings("tarvo.e2e.Main"));
    expectRun(0, {});
    EXPECT_TRUE(outputHas("main returns")) << textOf(kOutputName);

    ASSERT_TRUE(product.writeSettings("tarvo.e2e.Exit"));
    for (int code : {42, -3}) {
        expectRun(code, {}, {std::to_wstring(code)});
        EXPECT_TRUE(outputHas("exit " + std::to_string(code))) << textOf(kOutputName);
    }
}

TEST_F(RealJavaProgram, OptionTheVmDoesNotKnowIsRefusedByTheVm)
{
    // HotSpot answers an unknown -XX flag with JNI_EINVAL and an option it
    // does not know at all with JNI_ERR; either way it says why on stderr.
    const struct {
        const char* option;
        const wchar_t* reason;
        const char* refusal;
    } cases[] = {
        {"-XX:+TarvoNoSuchOption", L"ungültige Argumente", "Unrecognized VM option 'TarvoNoSuchOption'"},
        {"--tarvo-no-such-option", L"unbekannt", "Unrecognized option: --tarvo-no-such-option"},
    };
    for (const auto& refused : cases) {
        ASSERT_TRUE(product.writeSettings(
            "tarvo.e2e.Main", "Virtual Machine Parameters=" + std::string(refused.option) + "\r\n"));
        expectRun(-1, {kVmNotCreated + refused.reason + L".\n"});
        EXPECT_NE(textOf(kErrorName).find(refused.refusal), std::string::npos) << textOf(kErrorName);
        EXPECT_FALSE(outputHas("main returns"));
    }
}

TEST_F(RealJavaProgram, MissingMainClassIsReportedByTheRuntimesLauncherHelper)
{
    ASSERT_TRUE(product.writeSettings("com.example.Missing"));
    // JDK 17's LauncherHelper says so on System.err and calls System.exit(1)
    // itself: the launcher's own message never comes.
    expectRun(1, {});
    const std::string errors = textOf(kErrorName);
    EXPECT_NE(errors.find("Error: Could not find or load main class com.example.Missing"),
              std::string::npos)
        << errors;
    EXPECT_NE(errors.find("Caused by: java.lang.ClassNotFoundException: com.example.Missing"),
              std::string::npos)
        << errors;
}

TEST_F(RealJavaProgram, ArgumentsReachMainExactly)
{
    ASSERT_TRUE(product.writeSettings("tarvo.e2e.Main", "",
                                      "[Application]\r\nCmd=-open \"C:\\My Files\\a b.txt\" "
                                      " -last\r\n"));
    // ASCII, German umlauts, CJK, an emoji (a surrogate pair) and an empty
    // argument; the "Cmd" arguments follow.
    const std::vector<std::wstring> given = {L"plain", L"Gr\u00fc\u00dfe \u00d6l",
                                             L"\u65e5\u672c\u8a9e", L"smile \U0001F600", L""};
    expectRun(0, {}, given);
    std::vector<std::wstring> expected = given;
    expected.insert(expected.end(), {L"-open", L"C:\\My Files\\a b.txt", L"-last"});
    EXPECT_EQ(mainArgumentsFromTrace(linesOf(kOutputName)), expected) << textOf(kOutputName);
}

TEST_F(RealJavaProgram, WildcardClassPathAndSystemPropertiesAsTheProgramSeesThem)
{
    // Three jars found by the wildcard, one with a name outside ASCII.
    ASSERT_TRUE(installBuiltJar(product.sandbox(), kProgramsJar, L"lib\\tarvo-e2e.jar"));
    ASSERT_TRUE(installBuiltJar(product.sandbox(), L"e2e-one.jar", L"lib\\one.jar"));
    const std::wstring nonAscii = L"Gr\u00f6\u00dfe zwei.jar";
    ASSERT_TRUE(installBuiltJar(product.sandbox(), L"e2e-two.jar", L"lib\\" + nonAscii));
    // The settings file is read in the ANSI code page: "\xE4" is an a-umlaut.
    ASSERT_TRUE(product.sandbox().writeIni(
        "[Java Runtime Environment]\r\nMain Class=tarvo.e2e.Main\r\n"
        "Virtual Machine Parameters=-Dtarvo.e2e.load=tarvo.e2e.lib.One,tarvo.e2e.lib.Two,"
        "tarvo.e2e.Main -De2e.title=\"My App \xE4\"  \"-De2e.quoted=x  y\" "
        "-De2e.home=%TARVO_JVM_HOME%\r\n"
        "[Class Path]\r\nClass Path=lib\\*.jar\r\n"));
    expectRun(0, {});
    std::vector<std::string> lines = linesOf(kOutputName);
    const std::string output = textOf(kOutputName);
    EXPECT_TRUE(traceHas(lines, "class tarvo.e2e.Main " + unitsOf(L"tarvo-e2e.jar"))) << output;
    EXPECT_TRUE(traceHas(lines, "class tarvo.e2e.lib.One " + unitsOf(L"one.jar"))) << output;
    EXPECT_TRUE(traceHas(lines, "class tarvo.e2e.lib.Two " + unitsOf(nonAscii))) << output;
    EXPECT_TRUE(traceHas(lines, "property e2e.title " + unitsOf(L"My App \u00e4"))) << output;
    EXPECT_TRUE(traceHas(lines, "property e2e.quoted " + unitsOf(L"x  y"))) << output;
    EXPECT_TRUE(traceHas(lines, "property e2e.home " + unitsOf(product.sandbox().pathOf(L"jre64"))))
        << output;
}

TEST_F(RealJavaProgram, StreamsRedirectedToDatedFilesRelativeAndAbsolute)
{
    // Standard output relative to the product, in a folder that is made and
    // written afresh each run; standard error at an absolute path, appended.
    const std::string errorFolder = toUtf8(product.sandbox().pathOf(L"errors"));
    ASSERT_TRUE(product.writeSettings("tarvo.e2e.Main", "",
                                      "[Application]\r\nOutput File=logs\\out_%yyyy-MM-dd%.log\r\n"
                                      "Error File=" +
                                          errorFolder +
                                          "\\err_%yyyy%.log\r\nError Append=yes\r\n"));
    SYSTEMTIME today;
    GetLocalTime(&today);
    expectRun(0, {}, {L"first"});
    expectRun(0, {}, {L"second"});

    std::vector<std::wstring> outputFiles = product.sandbox().filesIn(L"logs");
    ASSERT_EQ(outputFiles.size(), 1u);
    std::wsmatch date;
    ASSERT_TRUE(std::regex_match(outputFiles[0], date,
                                 std::wregex(L"out_(\\d{4})-(\\d{2})-(\\d{2})\\.log")))
        << toUtf8(outputFiles[0]);
    EXPECT_EQ(std::stoi(date[1]), today.wYear);
    EXPECT_EQ(textOf(L"logs\\" + outputFiles[0]),
              "main arguments 1\nmain argument 0 " + unitsOf(L"second") + "\nmain returns\n");

    std::vector<std::wstring> errorFiles = product.sandbox().filesIn(L"errors");
    ASSERT_EQ(errorFiles,
              std::vector<std::wstring>{L"err_" + std::to_wstring(today.wYear) + L".log"});
    EXPECT_EQ(textOf(L"errors\\" + errorFiles[0]), "error stream first\nerror stream second\n");

    // Nothing went to the launcher's own handles.
    EXPECT_EQ(textOf(kOutputName), "");
    EXPECT_EQ(textOf(kErrorName), "");
}

TEST_F(RealJavaProgram, ThreadThatOutlivesMainKeepsTheProcess)
{
    ASSERT_TRUE(product.writeSettings("tarvo.e2e.Lingers"));
    expectRun(0, {});
    // The thread's last line is there: the process waited for it.
    EXPECT_EQ(linesOf(kOutputName), (std::vector<std::string>{"main returns", "thread ends"}));
}

}  // namespace
