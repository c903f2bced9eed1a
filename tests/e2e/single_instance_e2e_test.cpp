// Single-instance mode end to end: a first instance running the test Java
// runtime and later starts of the same executable as real processes. What a
// later start hands over, what it gets back, what it never does itself, and
// what cannot confuse or break the first instance.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <cwctype>
#include <optional>
#include <string>
#include <vector>

#include "instance/channel_names.h"
#include "instance/channel_security.h"
#include "instance/executable_identity.h"
#include "instance/instance_record.h"
#include "instance/mapped_instance_record.h"
#include "support/image.h"
#include "support/java_product.h"
#include "support/png_writer.h"
#include "support/polling.h"
#include "support/remote_memory.h"
#include "support/test_jvm/test_jvm_classes.h"
#include "support/test_jvm/test_jvm_variables.h"
#include "support/test_paths.h"
#include "support/test_text.h"
#include "support/ui_driver.h"

using namespace harness;

namespace {

using Arguments = std::vector<std::wstring>;

constexpr DWORD kStartLimit = 60000;
// How long a first instance's Java program lives unless a test ends it.
constexpr wchar_t kLongLife[] = L"120000";
// Exit code the tests give a first instance they end themselves.
constexpr UINT kEndedByTheTest = 42;
constexpr wchar_t kArgumentsTooLong[] =
    L"Die Argumente sind zu lang f\u00fcr die \u00dcbergabe an das bereits laufende Programm "
    L"(h\u00f6chstens 1040 Bytes). Sie wurden nicht \u00fcbergeben.";
// What the first instance traces when it looks for the int form, once per request.
constexpr std::string_view kKeepsAliveLookup =
    "GetStaticMethodID tarvo/test/KeepsAlive secondaryMain ([Ljava/lang/String;)I";

bool sameFolder(std::wstring first, std::wstring second)
{
    for (std::wstring* folder : {&first, &second}) {
        while (!folder->empty() && folder->back() == L'\\') {
            folder->pop_back();
        }
    }
    return CompareStringOrdinal(first.c_str(), -1, second.c_str(), -1, TRUE) == CSTR_EQUAL;
}

// The current folder of another process of the test's own bitness, read from
// its process parameters: their address at 0x20 of the PEB (0x10 for 32-bit),
// the current folder's length at 0x38 of the parameters (0x24) and the
// pointer to its text right after the string's two lengths and padding.
std::optional<std::wstring> currentFolderOf(HANDLE process)
{
    struct BasicInformation {
        LONG_PTR exitStatus;
        void* pebBaseAddress;
        ULONG_PTR affinityMask;
        LONG_PTR basePriority;
        ULONG_PTR uniqueProcessId;
        ULONG_PTR inheritedFromUniqueProcessId;
    };
    using QueryInformation = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    auto query = reinterpret_cast<QueryInformation>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    BasicInformation information{};
    if (query == nullptr || query(process, 0, &information, sizeof information, nullptr) != 0) {
        return std::nullopt;
    }
    const char* parameters = nullptr;
#ifdef _WIN64
    constexpr SIZE_T kParametersOffset = 0x20;
    constexpr SIZE_T kCurrentFolderOffset = 0x38;
#else
    constexpr SIZE_T kParametersOffset = 0x10;
    constexpr SIZE_T kCurrentFolderOffset = 0x24;
#endif
    if (!readRemoteMemory(process,
                          static_cast<const char*>(information.pebBaseAddress) + kParametersOffset,
                          &parameters, sizeof parameters)) {
        return std::nullopt;
    }
    USHORT length = 0;
    const wchar_t* text = nullptr;
    if (!readRemoteMemory(process, parameters + kCurrentFolderOffset, &length, sizeof length) ||
        !readRemoteMemory(process, parameters + kCurrentFolderOffset + sizeof(void*), &text,
                          sizeof text)) {
        return std::nullopt;
    }
    std::wstring folder(length / sizeof(wchar_t), L'\0');
    if (!readRemoteMemory(process, text, folder.data(), length)) {
        return std::nullopt;
    }
    return folder;
}

// True once the trace file holds the line; false at the limit.
bool waitForTraceLine(const std::wstring& traceFile, std::string_view line, DWORD limit)
{
    return pollUntil([&] { return traceHas(readTestJvmTrace(traceFile), line); }, limit);
}

// Every secondaryMain call of the form traced so far, once there are at
// least `count`; what there is at the limit.
std::vector<Arguments> waitForSecondaryCalls(const std::wstring& traceFile, std::string_view form,
                                             std::size_t count, DWORD limit = kStartLimit)
{
    std::vector<Arguments> calls;
    auto enoughCalls = [&] {
        calls = secondaryArgumentsFromTrace(readTestJvmTrace(traceFile), form);
        return calls.size() >= count;
    };
    static_cast<void>(pollUntil(enoughCalls, limit));
    return calls;
}

// A copy of the shared record as it is now; none while there is no channel.
std::optional<InstanceRecord> readRecord(const std::wstring& channel)
{
    KernelHandle mapping(OpenFileMappingW(FILE_MAP_READ, FALSE, channel.c_str()));
    if (!mapping) {
        return std::nullopt;
    }
    const void* view = MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, sizeof(InstanceRecord));
    if (view == nullptr) {
        return std::nullopt;
    }
    InstanceRecord record;
    std::memcpy(&record, view, sizeof record);
    UnmapViewOfFile(view);
    return record;
}

bool channelExists(const std::wstring& channel)
{
    return static_cast<bool>(KernelHandle(OpenFileMappingW(FILE_MAP_READ, FALSE, channel.c_str())));
}

// A product with the test runtime whose starts the tests run by hand: the
// first instance left running, later starts with traces of their own.
class InstanceProduct {
public:
    // The settings of a product with the mode on (or as "application" says)
    // and the main class given; the class path only when asked.
    bool writeSettings(std::string_view mainClass,
                       std::string_view application = "Single Instance=yes\r\n",
                       bool withClassPath = true, std::string_view moreSections = "")
    {
        std::string text = "[Java Runtime Environment]\r\nMain Class=" + std::string(mainClass) +
                           "\r\n[Application]\r\n" + std::string(application);
        if (withClassPath) {
            text += "[Class Path]\r\nClass Path=app.jar\r\n";
        }
        return product.sandbox().writeIni(text + std::string(moreSections));
    }

    // Every spelling of the executable's path names the same channel.
    std::wstring channel() const
    {
        return channelName(normalizedExecutablePath(product.sandbox().executablePath()));
    }

    // Starts the launcher with the product's environment, the trace going to
    // the file given, in the folder given (the product's when empty).
    // The executable may be named in another spelling of its path.
    std::optional<RunningProcess> startLauncher(const Arguments& arguments,
                                                const std::wstring& traceFile,
                                                const std::wstring& folder = {},
                                                const wchar_t* aliveMilliseconds = kLongLife,
                                                std::wstring executable = {})
    {
        if (executable.empty()) {
            executable = product.sandbox().executablePath();
        }
        ProcessStart start(executable, commandLineOf(executable, arguments));
        start.currentFolder = folder.empty() ? product.sandbox().folder() : folder;
        EnvironmentBlock environment = product.environment();
        environment.set(test_jvm::kTraceVariable, traceFile);
        environment.set(test_jvm::kAliveMillisecondsVariable, aliveMilliseconds);
        start.environment = environment;
        return RunningProcess::start(start);
    }

    // The first instance, once its main runs.
    std::optional<RunningProcess> startFirstInstance(const wchar_t* aliveMilliseconds = kLongLife)
    {
        DeleteFileW(product.tracePath().c_str());
        std::optional<RunningProcess> first =
            startLauncher({}, product.tracePath(), {}, aliveMilliseconds);
        if (first &&
            !waitForTraceLine(product.tracePath(), "non-daemon thread started", kStartLimit)) {
            ADD_FAILURE() << "the first instance's main did not run";
        }
        return first;
    }

    // A later start's own trace file, which must never come into being.
    std::wstring laterTrace(int number) const
    {
        return product.sandbox().pathOf(L"later-trace-" + std::to_wstring(number) + L".txt");
    }

    // Runs a later start to its end; its exit code.
    std::optional<int> runLaterStart(const Arguments& arguments, int number = 0,
                                     const std::wstring& executable = {})
    {
        std::optional<RunningProcess> later =
            startLauncher(arguments, laterTrace(number), {}, kLongLife, executable);
        if (!later) {
            ADD_FAILURE() << "the later start did not start";
            return std::nullopt;
        }
        ProcessOutcome outcome = later->waitForExit(kStartLimit);
        EXPECT_TRUE(outcome.finished) << "the later start did not end by itself";
        EXPECT_FALSE(product.sandbox().exists(L"later-trace-" + std::to_wstring(number) + L".txt"))
            << "the later start loaded the Java runtime";
        return outcome.finished ? std::optional<int>(outcome.exitCode) : std::nullopt;
    }

    // Runs a start that must run its own program, which ends at once: its
    // main receives the arguments and it ends with 0.
    void expectStartRunsOnItsOwn(const Arguments& arguments, int number)
    {
        const std::wstring trace = laterTrace(number);
        DeleteFileW(trace.c_str());
        std::optional<RunningProcess> start = startLauncher(arguments, trace, {}, L"100");
        ASSERT_TRUE(start);
        ProcessOutcome outcome = start->waitForExit(kStartLimit);
        EXPECT_TRUE(outcome.finished) << "the start waits for another program";
        EXPECT_EQ(outcome.exitCode, 0);
        EXPECT_EQ(mainArgumentsFromTrace(readTestJvmTrace(trace)), arguments);
    }

    JavaProduct product;
};

class SingleInstance : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(app.product.create()); }

    InstanceProduct app;
};

// The answer.

TEST_F(SingleInstance, VoidFormAnswersZeroAndReceivesTheArguments)
{
    ASSERT_TRUE(app.writeSettings("tarvo.test.SecondaryVoid"));
    // A program that ends by itself soon after, so that the first instance's
    // own end is seen too.
    std::optional<RunningProcess> first = app.startFirstInstance(L"10000");
    ASSERT_TRUE(first);
    EXPECT_TRUE(channelExists(app.channel()));
    EXPECT_EQ(app.runLaterStart({L"C:\\Docs\\letter one.txt", L"17"}), 0);
    EXPECT_EQ(waitForSecondaryCalls(app.product.tracePath(), "void", 1),
              std::vector<Arguments>{(Arguments{L"C:\\Docs\\letter one.txt", L"17"})});

    // The first instance stops its listener and ends with its program; the
    // channel goes with it, and the next start is a first instance again.
    ProcessOutcome outcome = first->waitForExit(kStartLimit);
    EXPECT_TRUE(outcome.finished);
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_FALSE(channelExists(app.channel()));
    std::optional<RunningProcess> next = app.startFirstInstance(L"100");
    ASSERT_TRUE(next);
    EXPECT_EQ(next->waitForExit(kStartLimit).exitCode, 0);
}

TEST_F(SingleInstance, IntFormAnswersWithWhatItReturnsSignedNumbersToo)
{
    ASSERT_TRUE(app.writeSettings("tarvo.test.SecondaryInt"));
    std::optional<RunningProcess> first = app.startFirstInstance();
    ASSERT_TRUE(first);
    EXPECT_EQ(app.runLaterStart({L"no number"}), test_jvm::kSecondaryNoNumberResult);
    EXPECT_EQ(app.runLaterStart({L"-300"}), -300);
    EXPECT_EQ(app.runLaterStart({L"2147483647"}), 2147483647);
    EXPECT_EQ(app.runLaterStart({L"-2147483648"}), -2147483647 - 1);
    EXPECT_EQ(waitForSecondaryCalls(app.product.tracePath(), "int", 4).size(), 4u);
}

TEST_F(SingleInstance, AClassWithBothFormsIsAnsweredByTheVoidForm)
{
    ASSERT_TRUE(app.writeSettings("tarvo.test.SecondaryBoth"));
    std::optional<RunningProcess> first = app.startFirstInstance();
    ASSERT_TRUE(first);
    // The int form would answer 17.
    EXPECT_EQ(app.runLaterStart({L"17"}), 0);
    EXPECT_EQ(waitForSecondaryCalls(app.product.tracePath(), "void", 1),
              std::vector<Arguments>{Arguments{L"17"}});
    EXPECT_TRUE(
        secondaryArgumentsFromTrace(readTestJvmTrace(app.product.tracePath()), "int").empty());
}

// Without secondaryMain the later start waits for the first instance's end,
// and meanwhile runs nothing of its own: no runtime, no splash, no change of
// its current folder, although the settings ask for both.
TEST_F(SingleInstance, WithoutSecondaryMainTheLaterStartEndsWithTheFirstInstance)
{
    std::optional<std::vector<std::uint8_t>> picture = encodePng(Image(64, 48, {200, 30, 30}));
    ASSERT_TRUE(picture);
    ASSERT_TRUE(app.product.sandbox().writeFile(
        L"splash.png",
        std::string_view(reinterpret_cast<const char*>(picture->data()), picture->size())));
    ASSERT_TRUE(app.writeSettings(
        "tarvo.test.KeepsAlive", "Single Instance=yes\r\nOverride WorkingDir=Yes\r\n", true,
        "[Display]\r\nSplash Screen=" + toUtf8(app.product.sandbox().pathOf(L"splash.png")) +
            "\r\n"));
    ASSERT_TRUE(app.product.sandbox().createFolder(L"elsewhere"));
    const std::wstring elsewhere = app.product.sandbox().pathOf(L"elsewhere");

    DeleteFileW(app.product.tracePath().c_str());
    std::optional<RunningProcess> first = app.startLauncher({}, app.product.tracePath(), elsewhere);
    ASSERT_TRUE(first);
    ASSERT_TRUE(
        waitForTraceLine(app.product.tracePath(), "non-daemon thread started", kStartLimit));
    // The settings do move a start's current folder: the first instance's.
    std::optional<std::wstring> firstFolder = currentFolderOf(first->handle());
    ASSERT_TRUE(firstFolder);
    EXPECT_TRUE(sameFolder(*firstFolder, app.product.sandbox().folder())) << toUtf8(*firstFolder);

    std::optional<RunningProcess> later =
        app.startLauncher({L"doc.txt"}, app.laterTrace(1), elsewhere);
    ASSERT_TRUE(later);
    // The first instance looks for secondaryMain and finds none: the request
    // has been served as far as it can be, and the later start waits.
    ASSERT_TRUE(waitForTraceLine(
        app.product.tracePath(),
        "GetStaticMethodID tarvo/test/KeepsAlive secondaryMain ([Ljava/lang/String;)I",
        kStartLimit))
        << "the first instance never looked for secondaryMain";
    EXPECT_EQ(WaitForSingleObject(later->handle(), 1000), WAIT_TIMEOUT);

    std::optional<std::wstring> laterFolder = currentFolderOf(later->handle());
    ASSERT_TRUE(laterFolder);
    EXPECT_TRUE(sameFolder(*laterFolder, elsewhere)) << toUtf8(*laterFolder);
    EXPECT_TRUE(topLevelWindowsOf(later->id()).empty()) << "the later start shows a window";
    EXPECT_FALSE(app.product.sandbox().exists(L"later-trace-1.txt"));

    ASSERT_TRUE(TerminateProcess(first->handle(), kEndedByTheTest));
    ProcessOutcome outcome = later->waitForExit(kStartLimit);
    EXPECT_TRUE(outcome.finished);
    EXPECT_EQ(outcome.exitCode, static_cast<int>(kEndedByTheTest));
    EXPECT_FALSE(app.product.sandbox().exists(L"later-trace-1.txt"));
}

// A first instance that never answers does not hold up the starts after the
// first one that asked it: each hands over, and each waits for its end.
TEST_F(SingleInstance, AStartWithoutAnswerDoesNotHoldUpTheNextStarts)
{
    ASSERT_TRUE(app.writeSettings("tarvo.test.KeepsAlive"));
    std::optional<RunningProcess> first = app.startFirstInstance();
    ASSERT_TRUE(first);
    auto lookups = [&] {
        std::vector<std::string> trace = readTestJvmTrace(app.product.tracePath());
        return std::count(trace.begin(), trace.end(), std::string(kKeepsAliveLookup));
    };
    std::vector<RunningProcess> starts;
    for (int i = 1; i <= 3; ++i) {
        std::optional<RunningProcess> later =
            app.startLauncher({L"doc " + std::to_wstring(i)}, app.laterTrace(i));
        ASSERT_TRUE(later);
        starts.push_back(std::move(*later));
        EXPECT_TRUE(pollUntil([&] { return lookups() >= i; }, kStartLimit))
            << "start " << i << " was not handed over";
        std::optional<InstanceRecord> record = readRecord(app.channel());
        ASSERT_TRUE(record);
        EXPECT_EQ(unpackArguments(*record), Arguments{L"doc " + std::to_wstring(i)});
    }
    for (RunningProcess& later : starts) {
        EXPECT_TRUE(later.isRunning());
    }
    ASSERT_TRUE(TerminateProcess(first->handle(), kEndedByTheTest));
    for (RunningProcess& later : starts) {
        ProcessOutcome outcome = later.waitForExit(kStartLimit);
        EXPECT_TRUE(outcome.finished);
        EXPECT_EQ(outcome.exitCode, static_cast<int>(kEndedByTheTest));
    }
}

// A first instance held up before its VM exists (here by a message box)
// answers only once its main is about to run.
TEST_F(SingleInstance, ALaterStartBeforeTheVmExistsIsAnsweredOnceMainIsAboutToRun)
{
    // Without a class path the first instance says so in a box and then
    // goes on: the box holds it before the VM is created.
    ASSERT_TRUE(app.writeSettings("tarvo.test.SecondaryInt", "Single Instance=yes\r\n", false));
    DeleteFileW(app.product.tracePath().c_str());
    std::optional<RunningProcess> first = app.startLauncher({}, app.product.tracePath());
    ASSERT_TRUE(first);
    std::optional<HWND> box = waitForDialog(first->id(), kStartLimit);
    ASSERT_TRUE(box);

    std::optional<RunningProcess> later = app.startLauncher({L"23", L"x"}, app.laterTrace(1));
    ASSERT_TRUE(later);
    // The later start has packed its arguments into the record.
    std::optional<InstanceRecord> record;
    auto packed = [&] {
        record = readRecord(app.channel());
        return record && unpackArguments(*record) == Arguments{L"23", L"x"};
    };
    ASSERT_TRUE(pollUntil(packed, kStartLimit));
    // The header as the first instance wrote it.
    EXPECT_EQ(record->firstProcessId, first->id());
    EXPECT_EQ(record->messageId, RegisterWindowMessageW(app.channel().c_str()));
    EXPECT_NE(record->listenerThreadId, 0u);

    // Nothing answers while the box holds the first instance.
    EXPECT_EQ(WaitForSingleObject(later->handle(), 2000), WAIT_TIMEOUT);
    std::vector<std::string> trace = readTestJvmTrace(app.product.tracePath());
    EXPECT_FALSE(std::any_of(trace.begin(), trace.end(), [](const std::string& line) {
        return line.starts_with("JNI_CreateJavaVM") || line.find("secondaryMain") != line.npos;
    }));

    ASSERT_TRUE(clickButton(*box, IDOK));
    ProcessOutcome outcome = later->waitForExit(kStartLimit);
    EXPECT_TRUE(outcome.finished);
    EXPECT_EQ(outcome.exitCode, 23);
    trace = readTestJvmTrace(app.product.tracePath());
    auto at = [&](std::string_view start) {
        return std::find_if(trace.begin(), trace.end(),
                            [&](const std::string& line) { return line.starts_with(start); }) -
               trace.begin();
    };
    EXPECT_LT(at("JNI_CreateJavaVM"), at("secondaryMain int"));
    EXPECT_EQ(secondaryArgumentsFromTrace(trace, "int"),
              std::vector<Arguments>{(Arguments{L"23", L"x"})});
}

// The argument text.

TEST_F(SingleInstance, ArgumentsArriveAsTheRecordCarriesThem)
{
    ASSERT_TRUE(app.writeSettings("tarvo.test.SecondaryVoid"));
    std::optional<RunningProcess> first = app.startFirstInstance();
    ASSERT_TRUE(first);
    const std::wstring longest(518, L'\u00e9');
    struct Case {
        Arguments sent;
        Arguments received;
    };
    const std::vector<Case> cases = {
        {{}, {L""}},
        {{L"a", L"", L"b"}, {L"a"}},
        {{L"", L"b"}, {L"", L"b"}},
        {{longest}, {longest}},
    };
    std::vector<Arguments> expected;
    for (const Case& handover : cases) {
        EXPECT_EQ(app.runLaterStart(handover.sent), 0);
        expected.push_back(handover.received);
        EXPECT_EQ(waitForSecondaryCalls(app.product.tracePath(), "void", expected.size()),
                  expected);
    }
    // One unit more does not fit: the start says so, fails and posts
    // nothing, which the next start's call, the only new one, shows. That
    // start goes ahead while the box is still open.
    std::optional<RunningProcess> tooLong = app.startLauncher({longest + L"x"}, app.laterTrace(9));
    ASSERT_TRUE(tooLong);
    std::optional<HWND> box = waitForDialog(tooLong->id(), kStartLimit);
    ASSERT_TRUE(box) << "the start did not say that its arguments are too long";
    EXPECT_EQ(messageBoxText(*box), std::wstring(kArgumentsTooLong));
    EXPECT_EQ(app.runLaterStart({L"after"}), 0);
    expected.push_back({L"after"});
    EXPECT_EQ(waitForSecondaryCalls(app.product.tracePath(), "void", expected.size()), expected);
    ASSERT_TRUE(clickButton(*box, IDOK));
    ProcessOutcome outcome = tooLong->waitForExit(kStartLimit);
    EXPECT_TRUE(outcome.finished);
    EXPECT_EQ(outcome.exitCode, -1);
    EXPECT_FALSE(app.product.sandbox().exists(L"later-trace-9.txt"));
    EXPECT_EQ(waitForSecondaryCalls(app.product.tracePath(), "void", expected.size()), expected);
}

// Later starts come at the same moment, while the first instance is still
// held before its VM exists: each hands over its own arguments and gets its
// own answer.
TEST_F(SingleInstance, TwentyLaterStartsAtOnceEachGetTheirOwnAnswer)
{
    ASSERT_TRUE(app.writeSettings("tarvo.test.SecondaryInt", "Single Instance=yes\r\n", false));
    DeleteFileW(app.product.tracePath().c_str());
    std::optional<RunningProcess> first = app.startLauncher({}, app.product.tracePath());
    ASSERT_TRUE(first);
    std::optional<HWND> box = waitForDialog(first->id(), kStartLimit);
    ASSERT_TRUE(box);

    constexpr int kStarts = 20;
    std::vector<Arguments> sent;
    for (int i = 0; i < kStarts; ++i) {
        sent.push_back({std::to_wstring(1000 + 7 * i), L"start " + std::to_wstring(i)});
    }
    std::vector<RunningProcess> starts;
    for (int i = 0; i < kStarts; ++i) {
        std::optional<RunningProcess> later = app.startLauncher(sent[i], app.laterTrace(i));
        ASSERT_TRUE(later);
        starts.push_back(std::move(*later));
    }
    // Let one of them hand over before the VM exists.
    auto handedOver = [&] {
        std::optional<InstanceRecord> record = readRecord(app.channel());
        return record &&
               std::find(sent.begin(), sent.end(), unpackArguments(*record)) != sent.end();
    };
    ASSERT_TRUE(pollUntil(handedOver, kStartLimit));
    ASSERT_TRUE(clickButton(*box, IDOK));

    for (int i = 0; i < kStarts; ++i) {
        ProcessOutcome outcome = starts[i].waitForExit(180000);
        EXPECT_TRUE(outcome.finished) << "start " << i;
        EXPECT_EQ(outcome.exitCode, 1000 + 7 * i) << "start " << i;
    }
    std::vector<Arguments> received =
        waitForSecondaryCalls(app.product.tracePath(), "int", kStarts);
    std::sort(received.begin(), received.end());
    std::sort(sent.begin(), sent.end());
    EXPECT_EQ(received, sent);
    EXPECT_TRUE(first->isRunning());
}

// While one start hands over, the next waits its turn: it does not touch the
// record until the one before has its answer.
TEST_F(SingleInstance, ALaterStartWaitsWhileAnotherHoldsTheChannel)
{
    ASSERT_TRUE(app.writeSettings("tarvo.test.SecondaryInt"));
    std::optional<RunningProcess> first = app.startFirstInstance();
    ASSERT_TRUE(first);
    std::optional<ChannelNames> names =
        channelNamesFor(normalizedExecutablePath(app.product.sandbox().executablePath()));
    ASSERT_TRUE(names);
    // The lock exists only while some start holds it: make it, as a start would.
    ChannelSecurity security;
    ASSERT_TRUE(security.build());
    KernelHandle turn(CreateMutexW(security.attributes(), FALSE, names->handoverLock.c_str()));
    ASSERT_TRUE(turn);
    ASSERT_EQ(WaitForSingleObject(turn.get(), kStartLimit), WAIT_OBJECT_0);
    std::optional<InstanceRecord> before = readRecord(app.channel());
    ASSERT_TRUE(before);

    std::optional<RunningProcess> later = app.startLauncher({L"31"}, app.laterTrace(1));
    ASSERT_TRUE(later);
    EXPECT_EQ(WaitForSingleObject(later->handle(), 3000), WAIT_TIMEOUT);
    std::optional<InstanceRecord> during = readRecord(app.channel());
    ASSERT_TRUE(during);
    EXPECT_EQ(std::memcmp(&*before, &*during, sizeof(InstanceRecord)), 0);
    EXPECT_TRUE(
        secondaryArgumentsFromTrace(readTestJvmTrace(app.product.tracePath()), "int").empty());

    ASSERT_TRUE(ReleaseMutex(turn.get()));
    ProcessOutcome outcome = later->waitForExit(kStartLimit);
    EXPECT_TRUE(outcome.finished);
    EXPECT_EQ(outcome.exitCode, 31);
}

// When the mode is off.

TEST_F(SingleInstance, OnlyYesExactlyAndNoServiceTurnTheModeOn)
{
    for (std::string_view application : {"Single Instance=Yes\r\n", "Single Instance=true\r\n",
                                         "Application Type=service\r\nSingle Instance=yes\r\n"}) {
        SCOPED_TRACE(std::string(application));
        ASSERT_TRUE(app.writeSettings("tarvo.test.SecondaryInt", application));
        std::optional<RunningProcess> first = app.startFirstInstance();
        ASSERT_TRUE(first);
        EXPECT_FALSE(channelExists(app.channel()));
        // The second start runs its own program, which ends by itself.
        const std::wstring secondTrace = app.laterTrace(1);
        DeleteFileW(secondTrace.c_str());
        std::optional<RunningProcess> second = app.startLauncher({L"9"}, secondTrace, {}, L"100");
        ASSERT_TRUE(second);
        ProcessOutcome outcome = second->waitForExit(kStartLimit);
        EXPECT_TRUE(outcome.finished);
        EXPECT_EQ(outcome.exitCode, 0);
        EXPECT_EQ(mainArgumentsFromTrace(readTestJvmTrace(secondTrace)), Arguments{L"9"});
        EXPECT_TRUE(
            secondaryArgumentsFromTrace(readTestJvmTrace(app.product.tracePath()), "int").empty());
        first->kill();
    }
}

TEST_F(SingleInstance, CopiesInDifferentFoldersNeverShareAChannel)
{
    ASSERT_TRUE(app.writeSettings("tarvo.test.SecondaryInt"));
    InstanceProduct other;
    ASSERT_TRUE(other.product.create());
    ASSERT_TRUE(other.writeSettings("tarvo.test.SecondaryInt"));
    ASSERT_NE(app.channel(), other.channel());

    std::optional<RunningProcess> first = app.startFirstInstance();
    ASSERT_TRUE(first);
    // The other copy's first start is a first instance too: its main runs.
    std::optional<RunningProcess> otherFirst = other.startFirstInstance();
    ASSERT_TRUE(otherFirst);
    EXPECT_TRUE(channelExists(app.channel()));
    EXPECT_TRUE(channelExists(other.channel()));

    EXPECT_EQ(app.runLaterStart({L"5"}), 5);
    EXPECT_EQ(other.runLaterStart({L"6"}), 6);
    EXPECT_EQ(waitForSecondaryCalls(app.product.tracePath(), "int", 1),
              std::vector<Arguments>{Arguments{L"5"}});
    EXPECT_EQ(waitForSecondaryCalls(other.product.tracePath(), "int", 1),
              std::vector<Arguments>{Arguments{L"6"}});
}

// The same executable started through another spelling of its path meets
// the first instance: in other letter case, and by its short (8.3) name.
TEST_F(SingleInstance, EverySpellingOfThePathMeetsTheFirstInstance)
{
    ASSERT_TRUE(app.writeSettings("tarvo.test.SecondaryInt"));
    std::optional<RunningProcess> first = app.startFirstInstance();
    ASSERT_TRUE(first);
    const std::wstring executable = app.product.sandbox().executablePath();
    std::wstring otherCase = executable;
    for (wchar_t& unit : otherCase) {
        unit = iswupper(unit) ? towlower(unit) : towupper(unit);
    }
    ASSERT_NE(otherCase, executable);
    EXPECT_EQ(app.runLaterStart({L"5"}, 1, otherCase), 5);

    std::wstring shortPath(32768, L'\0');
    shortPath.resize(GetShortPathNameW(executable.c_str(), shortPath.data(),
                                       static_cast<DWORD>(shortPath.size())));
    ASSERT_FALSE(shortPath.empty());
    ASSERT_NE(shortPath, executable) << "no short name to start by";
    EXPECT_EQ(app.runLaterStart({L"6"}, 2, shortPath), 6);
    EXPECT_EQ(waitForSecondaryCalls(app.product.tracePath(), "int", 2),
              (std::vector<Arguments>{Arguments{L"5"}, Arguments{L"6"}}));
}

// Any process of the logon can write the record.

TEST_F(SingleInstance, GarbageInTheRecordDoesNotBreakTheFirstInstance)
{
    ASSERT_TRUE(app.writeSettings("tarvo.test.SecondaryInt"));
    std::optional<RunningProcess> first = app.startFirstInstance();
    ASSERT_TRUE(first);
    auto scribble = [&](const wchar_t* what, int seed) {
        ProcessStart start(probePath(L"record_scribbler_probe.exe"),
                           commandLineOf(probePath(L"record_scribbler_probe.exe"),
                                         {app.channel(), what, std::to_wstring(seed)}));
        std::optional<ProcessOutcome> outcome = runProcess(start, kStartLimit);
        return outcome && outcome->finished ? outcome->exitCode : -999;
    };
    // Garbage arguments are served like any others: a call and an answer.
    for (int seed = 1; seed <= 5; ++seed) {
        int answer = scribble(L"arguments", seed);
        EXPECT_TRUE(answer != 200 && answer != 201 && answer != 202 && answer != -999)
            << "seed " << seed << ": " << answer;
    }
    EXPECT_EQ(waitForSecondaryCalls(app.product.tracePath(), "int", 5).size(), 5u);
    // A proper later start is still answered correctly after them.
    EXPECT_EQ(app.runLaterStart({L"77"}), 77);

    // The first instance never reads the header back: garbage there leaves
    // it serving what it is asked.
    int answer = scribble(L"record", 99);
    EXPECT_TRUE(answer != 200 && answer != 201 && answer != 202 && answer != -999) << answer;
    EXPECT_EQ(waitForSecondaryCalls(app.product.tracePath(), "int", 7).size(), 7u);
    EXPECT_TRUE(first->isRunning());
}

// A program that makes the channel's names before the first instance does
// is no first instance: the start runs on its own and gives it nothing.
TEST_F(SingleInstance, AChannelMadeByAnotherProgramIsNotTrusted)
{
    ASSERT_TRUE(app.writeSettings("tarvo.test.SecondaryInt"));
    // This test takes the names, with itself as the first instance, made as
    // the launcher makes them: only the executable tells it apart.
    ChannelSecurity security;
    ASSERT_TRUE(security.build());
    KernelHandle mapping(CreateFileMappingW(INVALID_HANDLE_VALUE, security.attributes(),
                                            PAGE_READWRITE, 0, sizeof(InstanceRecord),
                                            app.channel().c_str()));
    ASSERT_TRUE(mapping);
    MappedInstanceRecord view;
    ASSERT_TRUE(mapInstanceRecord(mapping.get(), view));
    MSG message;
    PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    const UINT messageId = RegisterWindowMessageW(app.channel().c_str());
    view.get()->listenerThreadId = GetCurrentThreadId();
    view.get()->firstProcessId = GetCurrentProcessId();
    view.get()->messageId = messageId;
    const InstanceRecord before = *view.get();

    app.expectStartRunsOnItsOwn({L"secret.txt"}, 1);
    EXPECT_EQ(std::memcmp(&before, view.get(), sizeof before), 0)
        << "the start wrote its arguments into the other program's record";
    EXPECT_FALSE(PeekMessageW(&message, nullptr, messageId, messageId, PM_REMOVE))
        << "the start posted to the other program";
}

// Names made without the launcher's security belong to whoever the system
// makes their owner, not to the user: an administrator's token makes them
// the Administrators group's. Such a channel is not trusted either.
TEST_F(SingleInstance, AChannelOwnedByAnotherAccountIsNotTrusted)
{
    ASSERT_TRUE(app.writeSettings("tarvo.test.SecondaryInt"));
    ChannelSecurity security;
    ASSERT_TRUE(security.build());
    KernelHandle mapping(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                            sizeof(InstanceRecord), app.channel().c_str()));
    ASSERT_TRUE(mapping);
    if (security.ownedByCurrentUser(mapping.get())) {
        GTEST_SKIP() << "objects made with the default security belong to the user here";
    }
    MappedInstanceRecord view;
    ASSERT_TRUE(mapInstanceRecord(mapping.get(), view));
    MSG message;
    PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    const UINT messageId = RegisterWindowMessageW(app.channel().c_str());
    std::optional<RunningProcess> first = app.startFirstInstance();
    ASSERT_TRUE(first);
    // The first instance found the name taken and runs on its own; so does the next start.
    app.expectStartRunsOnItsOwn({L"secret.txt"}, 1);
    EXPECT_FALSE(PeekMessageW(&message, nullptr, messageId, messageId, PM_REMOVE));
}

}  // namespace
