// The stack trace behind the exception dialog, in process against the test
// Java runtime: the whole text of printStackTrace, and what happens when the
// runtime fails while the trace is made. The failures are injected by
// swapping entries of the JNI function table, the one place between the
// launcher and the VM; everything else is the test runtime's own doing.
#include "vm/exception_dialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "support/test_jvm/in_process_vm.h"
#include "support/test_jvm/test_jvm_classes.h"
#include "support/test_jvm/test_jvm_variables.h"
#include "support/test_jvm/test_runtime.h"
#include "support/test_jvm/throws_stack_trace.h"
#include "vm/jvm_entry_points.h"

using namespace harness;

namespace {

// The runtime's own entries, kept while a test has replaced some of them.
JNINativeInterface_ runtimeFunctions{};

// The failures a test can inject.
jclass JNICALL findClassWithoutByteArrayStream(JNIEnv* environment, const char* name)
{
    if (std::strcmp(name, "java/io/ByteArrayOutputStream") == 0) {
        // The runtime's own failure for a class it lacks.
        return runtimeFunctions.FindClass(environment, "tarvo/test/NoSuchClassAnywhere");
    }
    return runtimeFunctions.FindClass(environment, name);
}

jobject JNICALL throwingObjectCall(JNIEnv* environment, jobject, jmethodID, va_list)
{
    jclass failure = runtimeFunctions.FindClass(environment, "java/lang/IllegalStateException");
    runtimeFunctions.ThrowNew(environment, failure, "toString broke");
    return nullptr;
}

void JNICALL voidCallThatThrowsAfterwards(JNIEnv* environment, jobject object, jmethodID method,
                                          va_list arguments)
{
    runtimeFunctions.CallVoidMethodV(environment, object, method, arguments);
    jclass failure = runtimeFunctions.FindClass(environment, "java/lang/IllegalStateException");
    runtimeFunctions.ThrowNew(environment, failure, "printStackTrace broke");
}

// One runtime for the whole program: a process holds one VM.
class StackTraceOfMain : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        std::optional<TracedInProcessTestVm> traced = createTracedInProcessTestVm();
        ASSERT_TRUE(traced);
        tracePath_ = traced->tracePath;
        environment_ = traced->vm.environment;
        runtimeFunctions = *environment_->functions;
    }

    // The runtime stays loaded, its VM lives until the process ends.
    static void TearDownTestSuite() { SetEnvironmentVariableW(test_jvm::kTraceVariable, nullptr); }

    void SetUp() override
    {
        ASSERT_NE(env(), nullptr);
        DeleteFileW(tracePath_.c_str());
        injected_ = runtimeFunctions;
    }

    void TearDown() override
    {
        env()->functions = &runtimeFunctions;
        if (env()->ExceptionCheck()) {
            env()->ExceptionClear();
        }
    }

    static JNIEnv* env() { return environment_; }

    // Calls tarvo/test/Throws's main and gives what it threw, still pending.
    static jthrowable throwFromMain()
    {
        jclass mainClass = env()->FindClass(test_jvm::kThrowsClass);
        jmethodID main = mainClass
                             ? env()->GetStaticMethodID(mainClass, "main", "([Ljava/lang/String;)V")
                             : nullptr;
        jobjectArray noArguments =
            env()->NewObjectArray(0, env()->FindClass("java/lang/String"), nullptr);
        if (main == nullptr || noArguments == nullptr) {
            return nullptr;
        }
        env()->CallStaticVoidMethod(mainClass, main, noArguments);
        return env()->ExceptionOccurred();
    }

    // From now on the VM is reached through the injected entries.
    void useInjected() { env()->functions = &injected_; }

    static bool traceHasLineStarting(const std::string& start)
    {
        std::vector<std::string> lines = readTestJvmTrace(tracePath_);
        return std::any_of(lines.begin(), lines.end(),
                           [&](const std::string& line) { return line.starts_with(start); });
    }

    // The exception pending now is the one given.
    static bool pendingIs(jthrowable expected)
    {
        jthrowable pending = env()->ExceptionOccurred();
        return pending != nullptr && env()->IsSameObject(pending, expected);
    }

    JNINativeInterface_ injected_{};
    static inline std::wstring tracePath_;
    static inline JNIEnv* environment_ = nullptr;
};

TEST_F(StackTraceOfMain, IsTheWholeTextOfPrintStackTraceAndLeavesNothingPending)
{
    jthrowable thrown = throwFromMain();
    ASSERT_NE(thrown, nullptr);
    env()->ExceptionClear();
    EXPECT_EQ(renderStackTrace(thrown, env()), test_jvm::throwsStackTrace());
    EXPECT_FALSE(env()->ExceptionCheck());
}

TEST_F(StackTraceOfMain, WrittenBeforePrintStackTraceFailedIsStillTheText)
{
    jthrowable thrown = throwFromMain();
    ASSERT_NE(thrown, nullptr);
    env()->ExceptionClear();
    injected_.CallVoidMethodV = voidCallThatThrowsAfterwards;
    useInjected();
    EXPECT_EQ(renderStackTrace(thrown, env()), test_jvm::throwsStackTrace());
    // The failure was reported by the VM and is no longer pending.
    EXPECT_FALSE(env()->ExceptionCheck());
    EXPECT_TRUE(traceHasLineStarting(
        "ExceptionDescribe java.lang.IllegalStateException: printStackTrace broke"));
}

// Without a trace nobody would see the exception: no dialog, and it is
// pending again so that the VM reports it when the thread leaves.
TEST_F(StackTraceOfMain, MissingByteArrayStreamShowsNothingAndLeavesTheExceptionPending)
{
    jthrowable thrown = throwFromMain();
    ASSERT_NE(thrown, nullptr);
    injected_.FindClass = findClassWithoutByteArrayStream;
    useInjected();
    EXPECT_EQ(renderStackTrace(thrown, env()), L"");
    EXPECT_FALSE(env()->ExceptionCheck());

    env()->Throw(thrown);
    EXPECT_FALSE(showExceptionDialog(thrown, env())) << "counted as Stop";
    EXPECT_TRUE(pendingIs(thrown));
    EXPECT_TRUE(traceHasLineStarting("ExceptionDescribe java.lang.NoClassDefFoundError"));
}

TEST_F(StackTraceOfMain, FailingToStringShowsNothingAndLeavesTheExceptionPending)
{
    jthrowable thrown = throwFromMain();
    ASSERT_NE(thrown, nullptr);
    injected_.CallObjectMethodV = throwingObjectCall;
    useInjected();
    EXPECT_FALSE(showExceptionDialog(thrown, env())) << "counted as Stop";
    EXPECT_TRUE(pendingIs(thrown));
    EXPECT_TRUE(
        traceHasLineStarting("ExceptionDescribe java.lang.IllegalStateException: toString broke"));
}

// This program holds no dialog template, so the dialog cannot be made.
TEST_F(StackTraceOfMain, ADialogThatCannotBeCreatedCountsAsStop)
{
    ASSERT_EQ(FindResourceW(nullptr, MAKEINTRESOURCEW(231), RT_DIALOG), nullptr)
        << "the test program must not carry the dialog: it would wait for a person";
    EXPECT_EQ(ExceptionDialog(L"some trace").show(nullptr), -1);

    jthrowable thrown = throwFromMain();
    ASSERT_NE(thrown, nullptr);
    EXPECT_TRUE(showExceptionDialog(thrown, env()));
    // Cleared before the trace was made; stopping is up to the caller.
    EXPECT_FALSE(env()->ExceptionCheck());
}

}  // namespace
