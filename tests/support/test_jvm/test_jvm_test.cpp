// The test Java runtime in this process, through the entries the launcher's
// own binding finds: the text encodings JNI promises, strings made from char
// arrays, class and method lookups that fail as a real VM's do, file streams,
// stack traces in a byte-array stream, LauncherHelper, and the String[] a
// test class receives, read back from the trace.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdarg>
#include <thread>

#include "support/sandbox.h"
#include "support/test_jvm/in_process_vm.h"
#include "support/test_jvm/test_jvm_classes.h"
#include "support/test_jvm/test_jvm_variables.h"
#include "support/test_jvm/test_runtime.h"
#include "support/test_text.h"
#include "vm/jvm_entry_points.h"

using namespace harness;

namespace {

bool contains(const std::vector<std::string>& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// One runtime laid out and bound for the whole program: a process holds one VM.
class TestJvmInProcess : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        std::optional<TracedInProcessTestVm> traced = createTracedInProcessTestVm();
        ASSERT_TRUE(traced);
        sandbox_ = traced->sandbox;
        tracePath_ = traced->tracePath;
        javaVm_ = traced->vm.javaVm;
        environment_ = traced->vm.environment;
        bootClassFinder_ = traced->vm.bootClassFinder;
    }

    // The library stays loaded (its VM lives until the process ends); the
    // sandbox is left behind for the same reason.
    static void TearDownTestSuite() { SetEnvironmentVariableW(test_jvm::kTraceVariable, nullptr); }

    void TearDown() override
    {
        if (env() != nullptr && env()->ExceptionCheck()) {
            ADD_FAILURE() << "an exception was left pending";
            env()->ExceptionClear();
        }
    }

    static JNIEnv* env() { return environment_; }

    static jstring newJavaString(std::u16string_view units)
    {
        return env()->NewString(reinterpret_cast<const jchar*>(units.data()),
                                static_cast<jsize>(units.size()));
    }

    static std::u16string unitsOf(jstring string)
    {
        const jchar* chars = env()->GetStringChars(string, nullptr);
        std::u16string units(reinterpret_cast<const char16_t*>(chars),
                             static_cast<size_t>(env()->GetStringLength(string)));
        env()->ReleaseStringChars(string, chars);
        return units;
    }

    static std::string modifiedUtf8Of(jstring string)
    {
        const char* bytes = env()->GetStringUTFChars(string, nullptr);
        std::string text(bytes);
        env()->ReleaseStringUTFChars(string, bytes);
        return text;
    }

    // The exception now pending, cleared, or null.
    static jthrowable takeException()
    {
        jthrowable pending = env()->ExceptionOccurred();
        env()->ExceptionClear();
        return pending;
    }

    static bool isInstance(jobject object, const char* className)
    {
        jclass expected = env()->FindClass(className);
        return expected != nullptr && env()->IsInstanceOf(object, expected);
    }

    static std::u16string messageOf(jthrowable throwable)
    {
        jmethodID getMessage = env()->GetMethodID(env()->GetObjectClass(throwable), "getMessage",
                                                  "()Ljava/lang/String;");
        return unitsOf(static_cast<jstring>(env()->CallObjectMethod(throwable, getMessage)));
    }

    static jobject newObject(const char* className, const char* signature, ...)
    {
        jclass objectClass = env()->FindClass(className);
        jmethodID constructor = env()->GetMethodID(objectClass, "<init>", signature);
        va_list list;
        va_start(list, signature);
        jobject object = env()->NewObjectV(objectClass, constructor, list);
        va_end(list);
        return object;
    }

    static jobject printStreamOn(jobject outputStream)
    {
        return newObject("java/io/PrintStream", "(Ljava/io/OutputStream;)V", outputStream);
    }

    static void println(jobject printStream, std::u16string_view text)
    {
        jmethodID println = env()->GetMethodID(env()->GetObjectClass(printStream), "println",
                                               "(Ljava/lang/String;)V");
        env()->CallVoidMethod(printStream, println, newJavaString(text));
    }

    static void callMain(const char* className, const std::vector<std::u16string>& arguments)
    {
        jclass mainClass = env()->FindClass(className);
        ASSERT_NE(mainClass, nullptr);
        jmethodID main = env()->GetStaticMethodID(mainClass, "main", "([Ljava/lang/String;)V");
        ASSERT_NE(main, nullptr);
        jobjectArray array = env()->NewObjectArray(static_cast<jsize>(arguments.size()),
                                                   env()->FindClass("java/lang/String"), nullptr);
        for (size_t index = 0; index < arguments.size(); ++index) {
            env()->SetObjectArrayElement(array, static_cast<jsize>(index),
                                         newJavaString(arguments[index]));
        }
        env()->CallStaticVoidMethod(mainClass, main, array);
    }

    static std::vector<std::string> trace() { return readTestJvmTrace(tracePath_); }

    static inline ProductSandbox* sandbox_ = nullptr;
    static inline std::wstring tracePath_;
    static inline JavaVM* javaVm_ = nullptr;
    static inline JNIEnv* environment_ = nullptr;
    static inline BootClassFinderFunction bootClassFinder_ = nullptr;
};

TEST_F(TestJvmInProcess, StringsGoOutAsModifiedUtf8AndComeBackUnchanged)
{
    // U+0000 takes two bytes, and a character outside the BMP two 3-byte
    // surrogate forms, unlike standard UTF-8.
    jstring zero = newJavaString(std::u16string(u"a\0b", 3));
    EXPECT_EQ(modifiedUtf8Of(zero),
              "a\xC0\x80"
              "b");
    EXPECT_EQ(env()->GetStringUTFLength(zero), 4);
    jstring supplementary = newJavaString(u"\U0001D400");
    EXPECT_EQ(modifiedUtf8Of(supplementary), "\xED\xA0\xB5\xED\xB0\x80");
    EXPECT_EQ(env()->GetStringUTFLength(supplementary), 6);

    jstring fromModified = env()->NewStringUTF("a\xC0\x80\xED\xA0\xB5\xED\xB0\x80\xC3\xBC");
    EXPECT_EQ(unitsOf(fromModified), std::u16string(u"a\0\U0001D400\u00FC", 5));
}

TEST_F(TestJvmInProcess, StringFromACharArrayKeepsEveryCodeUnitEvenALoneSurrogate)
{
    const std::u16string units = u"x\xD800y\xDC00\U0001D400\u00E4";
    jclass stringClass = env()->FindClass("java/lang/String");
    jmethodID constructor = env()->GetMethodID(stringClass, "<init>", "([C)V");
    ASSERT_NE(constructor, nullptr);
    jcharArray chars = env()->NewCharArray(static_cast<jsize>(units.size()));
    env()->SetCharArrayRegion(chars, 0, static_cast<jsize>(units.size()),
                              reinterpret_cast<const jchar*>(units.data()));
    auto string = static_cast<jstring>(env()->NewObject(stringClass, constructor, chars));
    ASSERT_NE(string, nullptr);
    EXPECT_EQ(unitsOf(string), units);
    EXPECT_TRUE(env()->IsInstanceOf(string, stringClass));

    // A region beyond the array's end is refused as Java refuses it.
    env()->SetCharArrayRegion(chars, 1, static_cast<jsize>(units.size()),
                              reinterpret_cast<const jchar*>(units.data()));
    jthrowable outOfBounds = takeException();
    ASSERT_NE(outOfBounds, nullptr);
    EXPECT_TRUE(isInstance(outOfBounds, "java/lang/ArrayIndexOutOfBoundsException"));
}

TEST_F(TestJvmInProcess, UnknownClassesAndMethodsFailWithTheVmsExceptions)
{
    EXPECT_EQ(env()->FindClass("com/example/Missing"), nullptr);
    jthrowable noClass = takeException();
    ASSERT_NE(noClass, nullptr);
    EXPECT_TRUE(isInstance(noClass, "java/lang/NoClassDefFoundError"));
    EXPECT_EQ(messageOf(noClass), u"com/example/Missing");
    // Class names are internal names: the dotted form is not found.
    EXPECT_EQ(env()->FindClass("tarvo.test.Main"), nullptr);
    EXPECT_NE(takeException(), nullptr);

    jclass noMain = env()->FindClass(test_jvm::kNoMainClass);
    ASSERT_NE(noMain, nullptr);
    EXPECT_EQ(env()->GetStaticMethodID(noMain, "main", "([Ljava/lang/String;)V"), nullptr);
    jthrowable noMethod = takeException();
    ASSERT_NE(noMethod, nullptr);
    EXPECT_TRUE(isInstance(noMethod, "java/lang/NoSuchMethodError"));

    jclass quiet = env()->FindClass(test_jvm::kNoMainQuietClass);
    ASSERT_NE(quiet, nullptr);
    EXPECT_EQ(env()->GetStaticMethodID(quiet, "main", "([Ljava/lang/String;)V"), nullptr);
    EXPECT_FALSE(env()->ExceptionCheck());

    std::vector<std::string> lines = trace();
    EXPECT_TRUE(contains(lines, "FindClass com/example/Missing"));
    EXPECT_TRUE(contains(lines, "GetStaticMethodID tarvo/test/NoMain main ([Ljava/lang/String;)V"));
}

TEST_F(TestJvmInProcess, FileOutputStreamTruncatesOrAppendsAndReportsAMissingFolder)
{
    std::wstring file = sandbox_->pathOf(L"out \u00E4.txt");
    ASSERT_TRUE(sandbox_->writeFile(L"out \u00E4.txt", "old content"));
    const char* signature = "(Ljava/lang/String;Z)V";
    jobject truncating =
        newObject("java/io/FileOutputStream", signature,
                  newJavaString(std::u16string(file.begin(), file.end())), JNI_FALSE);
    ASSERT_NE(truncating, nullptr);
    EXPECT_EQ(readFileBytes(file), std::string());
    println(printStreamOn(truncating), u"eins \u00FC \U0001D400");
    // Written at once, without a flush.
    EXPECT_EQ(readFileBytes(file), std::string("eins \xC3\xBC \xF0\x9D\x90\x80\r\n"));

    jobject appending =
        newObject("java/io/FileOutputStream", signature,
                  newJavaString(std::u16string(file.begin(), file.end())), JNI_TRUE);
    ASSERT_NE(appending, nullptr);
    println(printStreamOn(appending), u"zwei");
    EXPECT_EQ(readFileBytes(file), std::string("eins \xC3\xBC \xF0\x9D\x90\x80\r\nzwei\r\n"));

    std::wstring missing = sandbox_->pathOf(L"no such folder\\out.txt");
    std::u16string missingName(missing.begin(), missing.end());
    EXPECT_EQ(
        newObject("java/io/FileOutputStream", signature, newJavaString(missingName), JNI_FALSE),
        nullptr);
    jthrowable notFound = takeException();
    ASSERT_NE(notFound, nullptr);
    EXPECT_TRUE(isInstance(notFound, "java/io/FileNotFoundException"));
    std::u16string message = messageOf(notFound);
    EXPECT_EQ(message.substr(0, missingName.size() + 2), missingName + u" (")
        << toUtf8(std::wstring(message.begin(), message.end()));
    EXPECT_EQ(message.back(), u')');

    std::vector<std::string> lines = trace();
    EXPECT_TRUE(contains(lines, "FileOutputStream " + toUtf8(file) + " append=0 opened"));
    EXPECT_TRUE(contains(lines, "FileOutputStream " + toUtf8(file) + " append=1 opened"));
    EXPECT_TRUE(contains(lines, "FileOutputStream " + toUtf8(missing) + " append=0 failed"));
}

TEST_F(TestJvmInProcess, StackTraceOfTheThrowingClassReachesAByteArrayStreamWithItsText)
{
    callMain(test_jvm::kThrowsClass, {});
    jthrowable thrown = takeException();
    ASSERT_NE(thrown, nullptr);
    EXPECT_TRUE(isInstance(thrown, "java/lang/IllegalStateException"));

    jobject bytes = newObject("java/io/ByteArrayOutputStream", "()V");
    ASSERT_NE(bytes, nullptr);
    jobject printStream = printStreamOn(bytes);
    jmethodID printStackTrace = env()->GetMethodID(env()->GetObjectClass(thrown), "printStackTrace",
                                                   "(Ljava/io/PrintStream;)V");
    ASSERT_NE(printStackTrace, nullptr);
    env()->CallVoidMethod(thrown, printStackTrace, printStream);
    jmethodID toString =
        env()->GetMethodID(env()->GetObjectClass(bytes), "toString", "()Ljava/lang/String;");
    auto text = static_cast<jstring>(env()->CallObjectMethod(bytes, toString));
    ASSERT_NE(text, nullptr);

    std::wstring expectedStart = L"java.lang.IllegalStateException: " +
                                 fromUtf8(test_jvm::kThrowsMessage) + L"\r\n\tat " +
                                 fromUtf8(test_jvm::kThrowsFrame) + L"\r\n\tat ";
    std::u16string units = unitsOf(text);
    std::wstring wide(units.begin(), units.end());
    EXPECT_EQ(wide.substr(0, expectedStart.size()), expectedStart) << toUtf8(wide);
    EXPECT_NE(wide.find(L"\U0001D400"), std::wstring::npos) << toUtf8(wide);
    EXPECT_EQ(wide.substr(wide.size() - 2), L"\r\n");
}

TEST_F(TestJvmInProcess, LauncherHelperLoadsByTheDottedNameOnly)
{
    ASSERT_NE(bootClassFinder_, nullptr);
    jclass helper = bootClassFinder_(env(), "sun/launcher/LauncherHelper");
    ASSERT_NE(helper, nullptr);
    // The boot loader knows the runtime's classes, not the application's.
    EXPECT_EQ(bootClassFinder_(env(), test_jvm::kMainClass), nullptr);
    EXPECT_FALSE(env()->ExceptionCheck());

    jmethodID checkAndLoadMain = env()->GetStaticMethodID(
        helper, "checkAndLoadMain", "(ZILjava/lang/String;)Ljava/lang/Class;");
    ASSERT_NE(checkAndLoadMain, nullptr);
    jobject found = env()->CallStaticObjectMethod(helper, checkAndLoadMain, JNI_TRUE, 1,
                                                  newJavaString(u"tarvo.test.Main"));
    EXPECT_TRUE(env()->IsSameObject(found, env()->FindClass(test_jvm::kMainClass)));

    EXPECT_EQ(env()->CallStaticObjectMethod(helper, checkAndLoadMain, JNI_TRUE, 1,
                                            newJavaString(u"tarvo/test/Main")),
              nullptr);
    jthrowable notFound = takeException();
    ASSERT_NE(notFound, nullptr);
    EXPECT_TRUE(isInstance(notFound, "java/lang/NoClassDefFoundError"));

    ASSERT_TRUE(SetEnvironmentVariableW(test_jvm::kLauncherHelperFailsVariable, L"1"));
    EXPECT_EQ(env()->CallStaticObjectMethod(helper, checkAndLoadMain, JNI_TRUE, 1,
                                            newJavaString(u"tarvo.test.Main")),
              nullptr);
    SetEnvironmentVariableW(test_jvm::kLauncherHelperFailsVariable, nullptr);
    EXPECT_NE(takeException(), nullptr);

    ASSERT_TRUE(SetEnvironmentVariableW(test_jvm::kNoLauncherHelperVariable, L"1"));
    EXPECT_EQ(bootClassFinder_(env(), "sun/launcher/LauncherHelper"), nullptr);
    EXPECT_EQ(env()->FindClass("sun/launcher/LauncherHelper"), nullptr);
    SetEnvironmentVariableW(test_jvm::kNoLauncherHelperVariable, nullptr);
    EXPECT_NE(takeException(), nullptr);

    EXPECT_TRUE(contains(
        trace(), "LauncherHelper.checkAndLoadMain printToStderr=1 mode=1 name=tarvo.test.Main"));
}

TEST_F(TestJvmInProcess, MainArgumentsComeBackFromTheTraceUnitForUnit)
{
    std::vector<std::u16string> arguments = {u"plain", u"", u"mit Leerzeichen", u"\xD800 lone",
                                             u"\U0001D400\u00FC\u65E5"};
    // The reader takes the first main of a trace; earlier tests called main too.
    ASSERT_TRUE(DeleteFileW(tracePath_.c_str()));
    callMain(test_jvm::kMainClass, arguments);
    EXPECT_FALSE(env()->ExceptionCheck());

    std::optional<std::vector<std::wstring>> traced = mainArgumentsFromTrace(trace());
    ASSERT_TRUE(traced);
    std::vector<std::wstring> expected;
    for (const std::u16string& argument : arguments) {
        expected.emplace_back(argument.begin(), argument.end());
    }
    EXPECT_EQ(*traced, expected);
}

TEST_F(TestJvmInProcess, SecondaryMainAnswersWithItsFirstArgumentAsANumber)
{
    jclass both = env()->FindClass(test_jvm::kSecondaryBothClass);
    ASSERT_NE(both, nullptr);
    jmethodID intForm = env()->GetStaticMethodID(both, "secondaryMain", "([Ljava/lang/String;)I");
    jmethodID voidForm = env()->GetStaticMethodID(both, "secondaryMain", "([Ljava/lang/String;)V");
    ASSERT_NE(intForm, nullptr);
    ASSERT_NE(voidForm, nullptr);
    auto arrayOf = [](std::u16string_view element) {
        jobjectArray array =
            env()->NewObjectArray(1, env()->FindClass("java/lang/String"), newJavaString(element));
        return array;
    };
    EXPECT_EQ(env()->CallStaticIntMethod(both, intForm, arrayOf(u"-42")), -42);
    EXPECT_EQ(env()->CallStaticIntMethod(both, intForm, arrayOf(u"x1")),
              test_jvm::kSecondaryNoNumberResult);
    env()->CallStaticVoidMethod(both, voidForm, arrayOf(u"\xDC00"));

    std::vector<std::string> lines = trace();
    EXPECT_EQ(secondaryArgumentsFromTrace(lines, "int"),
              (std::vector<std::vector<std::wstring>>{{L"-42"}, {L"x1"}}));
    EXPECT_EQ(secondaryArgumentsFromTrace(lines, "void"),
              (std::vector<std::vector<std::wstring>>{{std::wstring(1, L'\xDC00')}}));
}

TEST_F(TestJvmInProcess, AThreadAttachesAndDetachesOnItsOwn)
{
    JNIEnv* threadEnvironment = nullptr;
    jint getEnvResult = JNI_OK;
    jint attachResult = JNI_ERR;
    jint detachResult = JNI_ERR;
    jint secondDetachResult = JNI_OK;

    std::thread worker([&] {
        void* environment = nullptr;
        getEnvResult = javaVm_->GetEnv(&environment, JNI_VERSION_1_2);
        attachResult = javaVm_->AttachCurrentThread(&environment, nullptr);
        threadEnvironment = static_cast<JNIEnv*>(environment);
        detachResult = javaVm_->DetachCurrentThread();
        secondDetachResult = javaVm_->DetachCurrentThread();
    });
    worker.join();
    EXPECT_EQ(getEnvResult, JNI_EDETACHED);
    EXPECT_EQ(attachResult, JNI_OK);
    EXPECT_NE(threadEnvironment, nullptr);
    EXPECT_NE(threadEnvironment, env());
    EXPECT_EQ(detachResult, JNI_OK);
    EXPECT_EQ(secondDetachResult, JNI_EDETACHED);

    void* own = nullptr;
    EXPECT_EQ(javaVm_->GetEnv(&own, JNI_VERSION_1_2), JNI_OK);
    EXPECT_EQ(own, env());
}

}  // namespace
