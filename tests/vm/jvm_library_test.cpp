// Binding the test Java runtime's JVM library in this process: the entry
// points come from the library at the path given, the optional one may be
// missing, and the test runtime answers through them as the VM host expects.
// Failing binds show a message box; they run end to end in
// jvm_library_e2e_test.cpp.
#include "vm/jvm_library.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "support/sandbox.h"
#include "support/test_jvm/test_jvm_variables.h"
#include "support/test_jvm/test_runtime.h"
#include "support/test_text.h"
#include "support/ui_driver.h"
#include "vm/jvm_entry_points.h"

using namespace harness;

namespace {

std::wstring modulePathOf(HMODULE module)
{
    wchar_t buffer[MAX_PATH * 4];
    DWORD length = GetModuleFileNameW(module, buffer, static_cast<DWORD>(std::size(buffer)));
    return std::wstring(buffer, length < std::size(buffer) ? length : 0);
}

// The module whose code holds the address; nullptr when none does.
template <typename Function>
HMODULE moduleOf(Function function)
{
    HMODULE module = nullptr;
    GetModuleHandleExW(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCWSTR>(reinterpret_cast<void*>(function)), &module);
    return module;
}

// A bind in this process that showed a box would wait for a click that never
// comes: this watcher presses OK on any box of the process and keeps its text,
// so that the test fails instead of hanging and can say what was shown.
class BoxWatcher {
public:
    BoxWatcher()
        : thread_([this] {
              while (!stop_) {
                  if (std::optional<HWND> box = waitForDialog(GetCurrentProcessId(), 100)) {
                      shownTexts_.push_back(messageBoxText(*box).value_or(L"(unreadable)"));
                      PostMessageW(*box, WM_COMMAND, IDOK, 0);
                      (void)waitForWindowToClose(*box, 5000);
                  }
              }
          })
    {
    }
    ~BoxWatcher() { stopWatching(); }

    // The texts of the boxes shown so far; call once the binds are done.
    std::vector<std::wstring> stopWatching()
    {
        stop_ = true;
        if (thread_.joinable()) {
            thread_.join();
        }
        return shownTexts_;
    }

private:
    std::atomic<bool> stop_ = false;
    std::vector<std::wstring> shownTexts_;
    std::thread thread_;
};

bool contains(const std::vector<std::string>& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

class BindJvmLibraryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sandbox.createEmpty());
        tracePath = sandbox.pathOf(L"trace.txt");
        ASSERT_TRUE(SetEnvironmentVariableW(test_jvm::kTraceVariable, tracePath.c_str()));
        SetEnvironmentVariableW(L"TARVO_JVM_PATH", nullptr);
    }

    void TearDown() override
    {
        SetEnvironmentVariableW(test_jvm::kTraceVariable, nullptr);
        SetEnvironmentVariableW(test_jvm::kStackSizeVariable, nullptr);
        SetEnvironmentVariableW(test_jvm::kCreateResultVariable, nullptr);
        SetEnvironmentVariableW(L"TARVO_JVM_PATH", nullptr);
        // The launcher keeps the library for good; the test lets go of it so
        // that the sandbox can be removed.
        if (HMODULE library = moduleOf(entries.createJavaVmEntry)) {
            FreeLibrary(library);
        }
    }

    std::wstring layOut(TestJvm variant)
    {
        std::optional<std::wstring> jvmLibrary = layOutTestRuntime(sandbox.pathOf(L"jre"), variant);
        EXPECT_TRUE(jvmLibrary) << "the test runtime could not be laid out";
        return jvmLibrary.value_or(L"");
    }

    ProductSandbox sandbox;
    std::wstring tracePath;
    JvmEntryPoints entries;
};

TEST_F(BindJvmLibraryTest, CompleteRuntimeGivesAllThreeEntriesOfTheLibraryAtThePath)
{
    std::wstring jvmLibrary = layOut(TestJvm::complete);
    BoxWatcher boxes;
    bool bound = bindJvmLibrary(nullptr, jvmLibrary, entries);
    EXPECT_EQ(boxes.stopWatching(), std::vector<std::wstring>{});
    ASSERT_TRUE(bound);

    ASSERT_NE(entries.createJavaVmEntry, nullptr);
    ASSERT_NE(entries.defaultInitArgsEntry, nullptr);
    ASSERT_NE(entries.bootClassFinderEntry, nullptr);
    // All three lie in the library just loaded, which stays loaded.
    HMODULE library = moduleOf(entries.createJavaVmEntry);
    ASSERT_NE(library, nullptr);
    EXPECT_EQ(modulePathOf(library), jvmLibrary);
    EXPECT_EQ(moduleOf(entries.defaultInitArgsEntry), library);
    EXPECT_EQ(moduleOf(entries.bootClassFinderEntry), library);
    EXPECT_TRUE(contains(readTestJvmTrace(tracePath), "loaded " + toUtf8(jvmLibrary)));
}

TEST_F(BindJvmLibraryTest, RuntimeWithoutBootClassFinderBindsWithThatEntryEmpty)
{
    entries.bootClassFinderEntry = reinterpret_cast<BootClassFinderFunction>(1);
    std::wstring jvmLibrary = layOut(TestJvm::withoutBootClassFinder);
    // Older runtimes lack the entry: the bind succeeds without a word.
    BoxWatcher boxes;
    bool bound = bindJvmLibrary(nullptr, jvmLibrary, entries);
    EXPECT_EQ(boxes.stopWatching(), std::vector<std::wstring>{});
    ASSERT_TRUE(bound);

    EXPECT_NE(entries.createJavaVmEntry, nullptr);
    EXPECT_NE(entries.defaultInitArgsEntry, nullptr);
    EXPECT_EQ(entries.bootClassFinderEntry, nullptr);
    EXPECT_EQ(modulePathOf(moduleOf(entries.createJavaVmEntry)), jvmLibrary);
}

// The test runtime answers through the bound entries as the VM host will call
// them, and traces each call with its arguments.
TEST_F(BindJvmLibraryTest, TestRuntimeAnswersAndTracesTheCallsThroughTheBoundEntries)
{
    std::wstring jvmLibrary = layOut(TestJvm::complete);
    BoxWatcher boxes;
    bool bound = bindJvmLibrary(nullptr, jvmLibrary, entries);
    EXPECT_EQ(boxes.stopWatching(), std::vector<std::wstring>{});
    ASSERT_TRUE(bound);
    ASSERT_TRUE(SetEnvironmentVariableW(test_jvm::kStackSizeVariable, L"786432"));
    ASSERT_TRUE(SetEnvironmentVariableW(test_jvm::kCreateResultVariable, L"-4"));

    // The launcher's JNI 1.1 record, read by a runtime that declares it on its own.
    Jdk11InitArgs initArgs{};
    initArgs.version = kJniVersion11;
    EXPECT_EQ(entries.defaultInitArgsEntry(&initArgs), JNI_OK);
    EXPECT_EQ(initArgs.javaStackSize, 786432);
    EXPECT_EQ(initArgs.nativeStackSize, 0);
    EXPECT_EQ(initArgs.minHeapSize, 0);

    char classPath[] = "-Djava.class.path=C:\\App\\app.jar";
    char abortOption[] = "abort";
    JavaVMOption options[] = {{classPath, nullptr}, {abortOption, &initArgs}};
    JavaVMInitArgs vmArgs{JNI_VERSION_1_2, 2, options, JNI_FALSE};
    JavaVM* javaVm = reinterpret_cast<JavaVM*>(1);
    void* environment = reinterpret_cast<void*>(1);
    EXPECT_EQ(entries.createJavaVmEntry(&javaVm, &environment, &vmArgs), JNI_ENOMEM);
    EXPECT_EQ(javaVm, nullptr);
    EXPECT_EQ(environment, nullptr);

    EXPECT_EQ(entries.bootClassFinderEntry(nullptr, "sun/launcher/LauncherHelper"), nullptr);

    std::vector<std::string> trace = readTestJvmTrace(tracePath);
    std::vector<std::string> expectedTail = {
        "JNI_GetDefaultJavaVMInitArgs version=0x00010001",
        "javaStackSize=786432",
        "JNI_CreateJavaVM version=0x00010002 options=2 ignoreUnrecognized=0",
        "option -Djava.class.path=C:\\App\\app.jar",
        "option+extraInfo abort",
        "TARVO_JVM_PATH unset",
    };
    std::vector<std::string> expectedEnd = {
        "JNI_CreateJavaVM result=-4",
        "JVM_FindClassFromBootLoader sun/launcher/LauncherHelper",
    };
    // Between the two the runtime reports the stack of the calling thread.
    ASSERT_GE(trace.size(), expectedTail.size() + 1 + expectedEnd.size());
    auto end = trace.end() - expectedEnd.size();
    EXPECT_EQ(std::vector<std::string>(end, trace.end()), expectedEnd);
    EXPECT_EQ((end - 1)->rfind("vm thread stack reserve=", 0), 0u) << *(end - 1);
    EXPECT_EQ(std::vector<std::string>(end - 1 - expectedTail.size(), end - 1), expectedTail);
}

TEST_F(BindJvmLibraryTest, TestRuntimeDefaultsToNoStackSizeAndCreatesOneVm)
{
    std::wstring jvmLibrary = layOut(TestJvm::complete);
    BoxWatcher boxes;
    bool bound = bindJvmLibrary(nullptr, jvmLibrary, entries);
    EXPECT_EQ(boxes.stopWatching(), std::vector<std::wstring>{});
    ASSERT_TRUE(bound);
    ASSERT_TRUE(SetEnvironmentVariableW(L"TARVO_JVM_PATH", L"C:\\Java\\bin\\server\\jvm.dll"));

    Jdk11InitArgs initArgs{};
    initArgs.version = kJniVersion11;
    initArgs.javaStackSize = 12345;
    EXPECT_EQ(entries.defaultInitArgsEntry(&initArgs), JNI_OK);
    EXPECT_EQ(initArgs.javaStackSize, 0);

    JavaVMInitArgs vmArgs{JNI_VERSION_1_2, 0, nullptr, JNI_FALSE};
    JavaVM* javaVm = nullptr;
    void* environment = nullptr;
    EXPECT_EQ(entries.createJavaVmEntry(&javaVm, &environment, &vmArgs), JNI_OK);
    EXPECT_NE(javaVm, nullptr);
    EXPECT_NE(environment, nullptr);
    // A process holds one VM, as with a real runtime.
    JavaVM* secondVm = nullptr;
    void* secondEnvironment = nullptr;
    EXPECT_EQ(entries.createJavaVmEntry(&secondVm, &secondEnvironment, &vmArgs), JNI_EEXIST);

    std::vector<std::string> trace = readTestJvmTrace(tracePath);
    EXPECT_TRUE(contains(trace, "TARVO_JVM_PATH=C:\\Java\\bin\\server\\jvm.dll"));
    EXPECT_TRUE(contains(trace, "JNI_CreateJavaVM result=0"));
    EXPECT_TRUE(contains(trace, "JNI_CreateJavaVM result=-5"));
}

}  // namespace
