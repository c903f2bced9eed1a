// The diagnostic trace end to end: with TARVO_TRACE set, a start writes down
// what it decided, and the lines explain the start (which runtime and why the
// others were not taken, the hand-over, the single-instance role, a VM that
// could not be created). The checks look for the decisions, not for every
// word. A trace that cannot be written changes nothing; without the variable
// there is no trace at all.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/written_machine_keys.h"
#include "support/java_product.h"
#include "support/polling.h"
#include "support/process_runner.h"
#include "support/test_jvm/test_jvm_variables.h"
#include "support/test_paths.h"
#include "support/test_text.h"
#include "support/trace_text.h"

using namespace harness;

namespace {

constexpr DWORD kStartLimit = 60000;
constexpr wchar_t kTraceVariable[] = L"TARVO_TRACE";
constexpr wchar_t kJavaSoftJdk[] = L"Software\\JavaSoft\\JDK\\";

// The texts of the trace's lines, each without its time and thread id
// ("      12 ms  thread 36     text").
std::vector<std::string> readLauncherTrace(const std::wstring& path)
{
    std::vector<std::string> texts;
    std::optional<std::string> bytes = readFileBytes(path);
    if (!bytes) {
        return texts;
    }
    std::size_t start = 0;
    while (start < bytes->size()) {
        std::size_t end = bytes->find("\r\n", start);
        if (end == std::string::npos) {
            end = bytes->size();
        }
        std::string line = bytes->substr(start, end - start);
        start = end + 2;
        std::size_t thread = line.find(" ms  thread ");
        EXPECT_NE(thread, std::string::npos) << "not a trace line: " << line;
        if (thread == std::string::npos) {
            continue;
        }
        std::size_t text = line.find_first_not_of("0123456789", thread + 12);
        text = line.find_first_not_of(' ', text);
        texts.push_back(text == std::string::npos ? std::string() : line.substr(text));
    }
    return texts;
}

// The index of the first line at or after `from` that holds every fragment.
std::optional<std::size_t> lineWith(const std::vector<std::string>& trace,
                                    std::initializer_list<std::string_view> fragments,
                                    std::size_t from = 0)
{
    for (std::size_t index = from; index < trace.size(); ++index) {
        if (std::all_of(fragments.begin(), fragments.end(), [&](std::string_view fragment) {
                return trace[index].find(fragment) != std::string::npos;
            })) {
            return index;
        }
    }
    return std::nullopt;
}

std::string joined(const std::vector<std::string>& trace)
{
    std::string text;
    for (const std::string& line : trace) {
        text += line + "\n";
    }
    return text;
}

std::string utf8(std::wstring_view text)
{
    return toUtf8(text);
}

// Checks that the lines come in the order given, each holding its fragments.
void expectInOrder(const std::vector<std::string>& trace,
                   std::initializer_list<std::initializer_list<std::string_view>> lines)
{
    std::size_t from = 0;
    for (std::initializer_list<std::string_view> fragments : lines) {
        std::optional<std::size_t> found = lineWith(trace, fragments, from);
        std::string wanted;
        for (std::string_view fragment : fragments) {
            wanted += std::string(fragment) + " | ";
        }
        ASSERT_TRUE(found) << "no line with " << wanted << "after line " << from << " in\n"
                           << joined(trace);
        from = *found + 1;
    }
}

class DiagnosticTrace : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(product_.create());
        product_.environment().remove(kTraceVariable);
    }

    // The trace goes into a folder that does not exist yet.
    std::wstring tracePath() const { return product_.sandbox().pathOf(L"support\\trace.txt"); }
    void traceOn() { product_.environment().set(kTraceVariable, tracePath()); }

    // The product's runtime moves out of jre64, so that only the registry finds it.
    std::wstring moveRuntimeTo(std::wstring_view relativeHome)
    {
        std::wstring home = product_.sandbox().pathOf(relativeHome);
        EXPECT_TRUE(MoveFileW(product_.sandbox().pathOf(L"jre64").c_str(), home.c_str()));
        return home + L"\\";
    }

    JavaProduct product_;
};

}  // namespace

TEST_F(DiagnosticTrace, AStartThatFindsItsRuntimeInTheRegistry)
{
    std::wstring home = moveRuntimeTo(L"registered");
    WrittenMachineKeys keys;
    ASSERT_TRUE(keys.registerRuntime(kJavaSoftJdk, L"95.0.1", home));
    ASSERT_TRUE(product_.writeSettings("tarvo.test.Main", "Minimum Version=90\r\n"));
    traceOn();

    LauncherRun run = product_.run({L"first argument"});
    ASSERT_TRUE(run.outcome.finished);
    EXPECT_EQ(run.outcome.exitCode, 0);
    EXPECT_TRUE(run.boxes.empty());

    std::vector<std::string> trace = readLauncherTrace(tracePath());
    ASSERT_FALSE(trace.empty()) << "no trace in the folder TARVO_TRACE named";
    EXPECT_TRUE(trace[0].starts_with("Tarvo ")) << trace[0];
    const std::string executable = utf8(product_.sandbox().executablePath());
    expectInOrder(trace,
                  {{"command line: ", "first argument"},
                   {"executable: ", executable},
                   {"arguments: 1"},
                   {"[first argument]"},
                   {"settings file beside the executable", utf8(product_.sandbox().iniPath()),
                    "found"},
                   {"embedded settings: none"},
                   {"[Java Runtime Environment] Minimum Version = \"90\" (settings file)"},
                   {"single instance: off"},
                   {"runtime source 1, JRE Path: not set"},
                   {"runtime source 2, beside the executable"},
                   {"not taken: no bin\\java.dll"},
                   {"runtime source 3, the registry"},
                   {"95.0.1: taken", utf8(home)},
                   {"chose 95.0.1"},
                   {"taken: ", utf8(home), "bin\\server\\jvm.dll"},
                   {"VM option 1: -Djava.class.path="},
                   {"JNI_CreateJavaVM: 0 (JNI_OK)"},
                   {"main class tarvo/test/Main", "loaded"},
                   {"calling main"},
                   {"exit code 0: main returned"}});
    EXPECT_FALSE(lineWith(trace, {"runtime source 4"})) << "the registry's runtime ends the search";
}

// The current folder is whatever the caller chose; no library loaded by bare
// name, by the launcher, the JVM or the product's native code, comes from it.
// The runtime's own libraries are still found in its bin folder.
TEST_F(DiagnosticTrace, TheCurrentFolderIsLeftOutOfTheDllSearchFirst)
{
    ASSERT_TRUE(product_.writeSettings("tarvo.test.Main"));
    traceOn();

    LauncherRun run = product_.run({});
    ASSERT_TRUE(run.outcome.finished);
    EXPECT_EQ(run.outcome.exitCode, 0);
    EXPECT_TRUE(run.boxes.empty());

    std::vector<std::string> trace = readLauncherTrace(tracePath());
    ASSERT_GT(trace.size(), 1u) << "no trace in the folder TARVO_TRACE named";
    expectInOrder(trace, {{"DLL search: the current folder is left out"},
                          {"executable: "},
                          {"exit code 0: main returned"}});
}

// Four registered runtimes, three of them refused, each for its own reason;
// the value holding a line break and control characters comes out escaped.
TEST_F(DiagnosticTrace, EveryRefusedCandidateSaysWhy)
{
    std::wstring home = moveRuntimeTo(L"registered");
    const std::wstring hostile = L"C:\\nowhere\r\n       1 ms  thread 1     forged\x01\x1b";
    WrittenMachineKeys keys;
    ASSERT_TRUE(keys.registerRuntime(kJavaSoftJdk, L"96.0", home));
    ASSERT_TRUE(keys.createNewKey(std::wstring(kJavaSoftJdk) + L"93.0", RegistryView::defaultView));
    ASSERT_TRUE(keys.registerRuntime(kJavaSoftJdk, L"94.0", hostile));
    ASSERT_TRUE(keys.registerRuntime(kJavaSoftJdk, L"92.0", home));
    ASSERT_TRUE(product_.writeSettings("tarvo.test.Main",
                                       "Minimum Version=90\r\nMaximum Version=95\r\n"));
    traceOn();

    LauncherRun run = product_.run();
    ASSERT_TRUE(run.outcome.finished);
    EXPECT_EQ(run.outcome.exitCode, 0);

    std::vector<std::string> trace = readLauncherTrace(tracePath());
    EXPECT_TRUE(lineWith(trace, {"96.0: not taken", "above Maximum Version 95"})) << joined(trace);
    EXPECT_TRUE(lineWith(trace, {"93.0: not taken", "no JavaHome"})) << joined(trace);
    EXPECT_TRUE(lineWith(trace, {"94.0: not taken", "no JVM library"})) << joined(trace);
    EXPECT_TRUE(lineWith(trace, {"registry candidates ranked (1)"})) << joined(trace);
    EXPECT_TRUE(lineWith(trace, {"chose 92.0", utf8(home)})) << joined(trace);

    // The hostile value stays inside its line, its control characters escaped.
    const std::string escaped = escapeTraceText(hostile);
    EXPECT_EQ(escaped, "C:\\nowhere\\x0D\\x0A       1 ms  thread 1     forged\\x01\\x1B");
    EXPECT_TRUE(lineWith(trace, {"94.0: not taken", escaped})) << joined(trace);
    std::optional<std::string> bytes = readFileBytes(tracePath());
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->find("\r\n       1 ms"), std::string::npos) << "a forged line";
    EXPECT_EQ(bytes->find('\x01'), std::string::npos);
    EXPECT_EQ(bytes->find('\x1b'), std::string::npos);
}

// An x86 runtime goes to the paired build with this process's command line.
TEST_F(DiagnosticTrace, AHandOverToThePair)
{
    std::optional<std::wstring> thirtyTwoBitLauncher = pairLauncherPath();
    if (!thirtyTwoBitLauncher) {
        GTEST_SKIP() << "this tree was configured without the 32-bit build";
    }
    // A genuine x86 image stands in for the runtime's JVM library: the
    // bitness check reads only its headers. The pair is the environment probe.
    std::optional<std::string> image = readFileBytes(*thirtyTwoBitLauncher);
    std::optional<std::string> probe = readFileBytes(probePath(L"environment_probe.exe"));
    ASSERT_TRUE(image && probe);
    ASSERT_TRUE(product_.sandbox().writeFile(L"runtime32\\bin\\server\\jvm.dll", *image));
    ASSERT_TRUE(product_.sandbox().writeFile(L"runtime32\\bin\\java.dll", "not needed"));
    ASSERT_TRUE(product_.sandbox().writeFile(L"pair\\Acme Editor 32.exe", *probe));
    const std::wstring pair = product_.sandbox().pathOf(L"pair\\Acme Editor 32.exe");
    const std::wstring report = product_.sandbox().pathOf(L"pair-report.txt");
    ASSERT_TRUE(product_.writeSettings("com.example.App", "JRE Path=runtime32\r\n",
                                       "[Application]\r\nPair Product=" + utf8(pair) +
                                           "\r\nPair Return Code=YES\r\n"));
    traceOn();

    LauncherRun run = product_.run({report, L"7"});
    ASSERT_TRUE(run.outcome.finished);
    EXPECT_EQ(run.outcome.exitCode, 7);

    std::vector<std::string> trace = readLauncherTrace(tracePath());
    expectInOrder(trace, {{"pair product: ", utf8(pair)},
                          {"runtime source 1, JRE Path: "},
                          {"taken: ", "runtime32\\bin\\server\\jvm.dll"},
                          {"bitness: x86 library, handed to the Pair Product"},
                          {"hand-over to the pair: ", utf8(pair), " with command line ",
                           utf8(commandLineOf(product_.sandbox().executablePath(), {report, L"7"}))},
                          {"pair started"},
                          {"exit code 7: the pair's"}});
    EXPECT_FALSE(lineWith(trace, {"JNI_CreateJavaVM"}));

    // Without a pair the x86 library is loaded here, and the system refuses it.
    ASSERT_TRUE(DeleteFileW(tracePath().c_str()));
    ASSERT_TRUE(product_.writeSettings("com.example.App", "JRE Path=runtime32\r\n"));
    LauncherRun alone = product_.run();
    ASSERT_TRUE(alone.outcome.finished);
    EXPECT_EQ(alone.outcome.exitCode, -1);
    ASSERT_EQ(alone.boxes.size(), 1u);
    trace = readLauncherTrace(tracePath());
    expectInOrder(trace, {{"bitness: x86 library, no Pair Product: loaded here"},
                          {"message box", escapeTraceText(alone.boxes[0])},
                          {"exit code -1: the JVM library could not be bound"}});
}

// A later start hands its arguments to the running first instance and ends
// with its answer; it looks for no runtime.
TEST_F(DiagnosticTrace, ALaterSingleInstanceStart)
{
    ASSERT_TRUE(product_.writeSettings("tarvo.test.SecondaryInt", "",
                                       "[Application]\r\nSingle Instance=yes\r\n"));
    ProcessStart firstStart(product_.sandbox().executablePath());
    firstStart.currentFolder = product_.sandbox().folder();
    EnvironmentBlock firstEnvironment = product_.environment();
    firstEnvironment.set(test_jvm::kAliveMillisecondsVariable, L"120000");
    firstStart.environment = firstEnvironment;
    std::optional<RunningProcess> first = RunningProcess::start(firstStart);
    ASSERT_TRUE(first);
    auto mainRuns = [&] {
        return traceHas(readTestJvmTrace(product_.tracePath()), "non-daemon thread started");
    };
    ASSERT_TRUE(pollUntil(mainRuns, kStartLimit)) << "the first instance's main did not run";

    traceOn();
    ProcessStart laterStart(product_.sandbox().executablePath(),
                            commandLineOf(product_.sandbox().executablePath(), {L"23"}));
    laterStart.currentFolder = product_.sandbox().folder();
    laterStart.environment = product_.environment();
    std::optional<RunningProcess> later = RunningProcess::start(laterStart);
    ASSERT_TRUE(later);
    ProcessOutcome outcome = later->waitForExit(kStartLimit);
    first->kill();
    ASSERT_TRUE(outcome.finished);
    EXPECT_EQ(outcome.exitCode, 23);

    std::vector<std::string> trace = readLauncherTrace(tracePath());
    expectInOrder(trace, {{"[Application] Single Instance = \"yes\" (settings file)"},
                          {"single instance: later start", "first instance, process ",
                           std::to_string(first->id())},
                          {"exit code 23: the first instance's answer"}});
    EXPECT_FALSE(lineWith(trace, {"runtime source"})) << joined(trace);
}

// JNI_CreateJavaVM fails: the trace holds the options passed, the result, the
// message the user saw and the exit code's path.
TEST_F(DiagnosticTrace, AVmThatCannotBeCreated)
{
    ASSERT_TRUE(product_.writeSettings("tarvo.test.Main",
                                       "Virtual Machine Parameters=-Xmx64m -Dcolour=blue\r\n"));
    product_.environment().set(test_jvm::kCreateResultVariable, L"-4");
    traceOn();

    LauncherRun run = product_.run();
    ASSERT_TRUE(run.outcome.finished);
    EXPECT_EQ(run.outcome.exitCode, -1);
    ASSERT_EQ(run.boxes.size(), 1u);

    std::vector<std::string> trace = readLauncherTrace(tracePath());
    expectInOrder(trace, {{"runtime source 2, beside the executable"},
                          {"taken: ", utf8(product_.jvmLibraryPath())},
                          {"splash: none"},
                          {"VM option 1: -Djava.class.path="},
                          {"VM option", ": -Xmx64m"},
                          {"VM option", ": -Dcolour=blue"},
                          {"JNI_CreateJavaVM: -4 (failed)"},
                          {"message box: ", escapeTraceText(run.boxes[0])},
                          {"exit code -1: the Java program could not be run"}});
}

// System.exit's code and a start that stops early each name their path.
TEST_F(DiagnosticTrace, TheExitCodesPath)
{
    ASSERT_TRUE(product_.writeSettings("tarvo.test.Exit"));
    product_.environment().set(test_jvm::kExitCodeVariable, L"5");
    traceOn();
    LauncherRun exited = product_.run();
    ASSERT_TRUE(exited.outcome.finished);
    EXPECT_EQ(exited.outcome.exitCode, 5);
    std::vector<std::string> trace = readLauncherTrace(tracePath());
    EXPECT_TRUE(lineWith(trace, {"exit code 5: System.exit"})) << joined(trace);

    // Without "Main Class" the start stops with a message from the string table.
    ASSERT_TRUE(DeleteFileW(tracePath().c_str()));
    ASSERT_TRUE(product_.sandbox().writeIni("[Java Runtime Environment]\r\n"));
    LauncherRun stopped = product_.run();
    ASSERT_TRUE(stopped.outcome.finished);
    EXPECT_EQ(stopped.outcome.exitCode, -1);
    ASSERT_EQ(stopped.boxes.size(), 1u);
    trace = readLauncherTrace(tracePath());
    expectInOrder(trace, {{"setting [Java Runtime Environment] Main Class: not set"},
                          {"message box, string ", escapeTraceText(stopped.boxes[0])},
                          {"exit code -1: the start stopped before the Java program"}});
}

// A trace folder that cannot be created (a file has its name) is ignored:
// the start runs as without a trace. "-" sends the trace to standard error.
TEST_F(DiagnosticTrace, ATraceThatCannotBeWrittenChangesNothingAndDashMeansStandardError)
{
    ASSERT_TRUE(product_.writeSettings("tarvo.test.Main", "Virtual Machine Parameters=-Da=1\r\n"));
    LauncherRun untraced = product_.run({L"x"});
    ASSERT_TRUE(untraced.outcome.finished);

    ASSERT_TRUE(product_.sandbox().writeFile(L"blocked", "a file, not a folder"));
    product_.environment().set(kTraceVariable, product_.sandbox().pathOf(L"blocked\\sub\\t.txt"));
    LauncherRun blocked = product_.run({L"x"});
    ASSERT_TRUE(blocked.outcome.finished);
    EXPECT_EQ(blocked.outcome.exitCode, untraced.outcome.exitCode);
    EXPECT_EQ(blocked.boxes, untraced.boxes);
    EXPECT_EQ(vmOptionsFromTrace(blocked.trace), vmOptionsFromTrace(untraced.trace));
    EXPECT_FALSE(product_.sandbox().exists(L"blocked\\sub"));

    product_.environment().set(kTraceVariable, L"-");
    product_.captureStandardStreams(L"out.txt", L"err.txt");
    LauncherRun toStandardError = product_.run({L"x"});
    ASSERT_TRUE(toStandardError.outcome.finished);
    EXPECT_EQ(toStandardError.outcome.exitCode, untraced.outcome.exitCode);
    std::optional<std::string> errors = product_.sandbox().readFile(L"err.txt");
    ASSERT_TRUE(errors);
    EXPECT_NE(errors->find("JNI_CreateJavaVM: 0 (JNI_OK)"), std::string::npos) << *errors;
}

// Without TARVO_TRACE no file of any name comes into being.
TEST_F(DiagnosticTrace, NoTraceWithoutTheVariable)
{
    ASSERT_TRUE(product_.writeSettings("tarvo.test.Main"));
    std::vector<std::wstring> before = product_.sandbox().filesIn(L"");
    LauncherRun run = product_.run();
    ASSERT_TRUE(run.outcome.finished);
    EXPECT_EQ(run.outcome.exitCode, 0);
    std::vector<std::wstring> after = product_.sandbox().filesIn(L"");
    std::erase(after, std::wstring(L"jvm-trace.txt"));
    std::sort(before.begin(), before.end());
    std::sort(after.begin(), after.end());
    EXPECT_EQ(after, before);
}
