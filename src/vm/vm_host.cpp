#include "vm/vm_host.h"

#include <algorithm>

#include "resources/resource_ids.h"
#include "support/diagnostic_trace.h"
#include "ui/error_reporter.h"
#include "ui/message_format.h"
#include "vm/java_text.h"
#include "vm/jni_calls.h"
#include "vm/stream_redirection.h"

namespace {

// The VM calls these from its own exit and abort paths. They do nothing: the
// VM finishes the exit or abort itself, with the Java program's exit code.
void JNICALL vmExitHook(jint code)
{
    if (traceEnabled()) {
        traceLine({L"exit code ", traceNumber(code), L": System.exit"});
    }
}

void JNICALL vmAbortHook()
{
    traceLine({L"the VM aborts"});
}

// JavaVMOption takes writable strings; the VM only reads them.
char abortOptionName[] = "abort";
char exitOptionName[] = "exit";

constexpr char kLauncherHelperClass[] = "sun/launcher/LauncherHelper";
constexpr char kCheckAndLoadMainSignature[] = "(ZILjava/lang/String;)Ljava/lang/Class;";
constexpr jint kLoadMainClassByName = 1;

UINT jniReasonStringId(jint result)
{
    switch (result) {
        case JNI_ERR:
            return IDS_JNI_REASON_UNKNOWN;
        case JNI_EDETACHED:
            return IDS_JNI_REASON_DETACHED;
        case JNI_EVERSION:
            return IDS_JNI_REASON_VERSION;
        case JNI_ENOMEM:
            return IDS_JNI_REASON_NO_MEMORY;
        case JNI_EEXIST:
            return IDS_JNI_REASON_EXISTS;
        case JNI_EINVAL:
            return IDS_JNI_REASON_INVALID_ARGUMENTS;
        default:
            return 0;
    }
}

HWND ownerWindowOf(const VmRun& run)
{
    return run.ownerWindow ? run.ownerWindow() : nullptr;
}

void showVmNotCreated(const VmRun& run, jint result)
{
    UINT reasonId = jniReasonStringId(result);
    std::wstring reason = reasonId != 0 ? ErrorReporter::loadText(reasonId) : std::wstring();
    std::wstring notCreated = ErrorReporter::loadText(IDS_JAVA_VM_NOT_CREATED);
    ErrorReporter::showError(
        ownerWindowOf(run),
        formatMessage(ErrorReporter::loadText(IDS_JNI_ERROR_REASON), {notCreated, reason}));
}

// The runtime's own launcher class loads the main class as the java command
// does. None when the runtime lacks it or it fails; an exception it leaves
// stays pending.
jclass loadMainClassThroughLauncherHelper(const VmRun& run)
{
    JNIEnv* environment = run.jniEnv;
    if (run.entries->bootClassFinderEntry == nullptr) {
        traceLine({L"main class: the runtime has no boot class finder, FindClass is used"});
        return nullptr;
    }
    jclass helper = run.entries->bootClassFinderEntry(environment, kLauncherHelperClass);
    if (helper == nullptr) {
        traceLine({L"main class: the runtime has no LauncherHelper, FindClass is used"});
        return nullptr;
    }
    jmethodID checkAndLoadMain =
        environment->GetStaticMethodID(helper, "checkAndLoadMain", kCheckAndLoadMainSignature);
    if (checkAndLoadMain == nullptr) {
        return nullptr;
    }
    std::wstring dottedName = run.settings->mainClass;
    std::replace(dottedName.begin(), dottedName.end(), L'/', L'.');
    jstring name = newJavaString(dottedName, environment);
    if (name == nullptr) {
        return nullptr;
    }
    // It reports its own failures on the standard error stream.
    return static_cast<jclass>(environment->CallStaticObjectMethod(
        helper, checkAndLoadMain, JNI_TRUE, kLoadMainClassByName, name));
}

// FindClass with the configured name in slash form, for runtimes without the
// launcher class.
jclass findMainClass(const VmRun& run)
{
    JNIEnv* environment = run.jniEnv;
    const std::wstring& mainClass = run.settings->mainClass;
    LocalReference<jstring> name(newJavaString(mainClass, environment), environment);
    if (!name) {
        ErrorReporter::showErrorWithText(
            ownerWindowOf(run), ErrorReporter::loadText(IDS_MAIN_CLASS_NOT_LOADED), mainClass);
        return nullptr;
    }
    jclass mainClassFound = findClassNamed(name.get(), environment);
    traceLine({L"main class ", mainClass, L" through FindClass: ",
               mainClassFound ? L"found" : L"not found"});
    if (mainClassFound == nullptr) {
        environment->ExceptionDescribe();
        ErrorReporter::showErrorWithText(
            ownerWindowOf(run), ErrorReporter::loadText(IDS_MAIN_CLASS_NOT_FOUND), mainClass);
    }
    return mainClassFound;
}

// After main threw: the splash goes, and with "Failure Check" the user sees
// the exception and may stop the program. False only when stopping failed.
bool handleMainException(const VmRun& run, jthrowable exception)
{
    if (run.closeSplashWindow) {
        run.closeSplashWindow();
    }
    if (!run.settings->failureCheck || !run.showExceptionDialog) {
        // The exception stays pending; the VM reports it when the thread detaches.
        return true;
    }
    if (!run.showExceptionDialog(exception, run.jniEnv)) {
        return true;
    }
    // System.exit ends the process with -1 and does not come back; when it
    // does, the program was not stopped and the start counts as failed.
    callSystemExit(run.jniEnv);
    return false;
}

}  // namespace

bool createVm(VmRun& run)
{
    std::vector<JavaVMOption> options;
    options.reserve(run.options->size() + 2);
    for (const std::string& option : *run.options) {
        options.push_back({const_cast<char*>(option.c_str()), nullptr});
    }
    options.push_back({abortOptionName, reinterpret_cast<void*>(&vmAbortHook)});
    options.push_back({exitOptionName, reinterpret_cast<void*>(&vmExitHook)});

    JavaVMInitArgs initArgs{};
    initArgs.version = JNI_VERSION_1_2;
    initArgs.nOptions = static_cast<jint>(options.size());
    initArgs.options = options.data();
    initArgs.ignoreUnrecognized = JNI_FALSE;

    void* environment = nullptr;
    jint result = run.entries->createJavaVmEntry(&run.javaVm, &environment, &initArgs);
    if (traceEnabled()) {
        traceLine({L"JNI_CreateJavaVM: ", traceNumber(result),
                   result == JNI_OK ? L" (JNI_OK)" : L" (failed)"});
    }
    if (result != JNI_OK) {
        // Whatever a failing VM left there is no VM to destroy later.
        run.javaVm = nullptr;
        run.jniEnv = nullptr;
        showVmNotCreated(run, result);
        return false;
    }
    run.jniEnv = static_cast<JNIEnv*>(environment);
    if (run.streamRedirection != nullptr) {
        redirectStandardStreams(*run.streamRedirection, run.jniEnv);
    }
    return true;
}

bool runMainClass(VmRun& run)
{
    JNIEnv* environment = run.jniEnv;
    jclass mainClass = loadMainClassThroughLauncherHelper(run);
    if (traceEnabled()) {
        traceLine({L"main class ", run.settings->mainClass, L" through LauncherHelper: ",
                   mainClass ? L"loaded" : L"not loaded"});
    }
    if (mainClass == nullptr) {
        // An exception the launcher class left is not cleared: the fallback
        // then cannot make its string and says the class could not be loaded.
        mainClass = findMainClass(run);
        if (mainClass == nullptr) {
            return false;
        }
    }

    jmethodID mainMethod =
        environment->GetStaticMethodID(mainClass, "main", "([Ljava/lang/String;)V");
    if (mainMethod == nullptr) {
        traceLine({L"main class: no static main(String[])"});
        if (!describePendingException(environment)) {
            ErrorReporter::showError(ownerWindowOf(run), IDS_MAIN_METHOD_NOT_FOUND);
        }
        return false;
    }
    jobjectArray mainArguments = newArgumentArray(*run.arguments, environment);
    if (mainArguments == nullptr) {
        describePendingException(environment);
        return false;
    }

    if (run.signalReady) {
        run.signalReady();
    }
    traceLine({L"calling main"});
    environment->CallStaticVoidMethod(mainClass, mainMethod, mainArguments);
    if (jthrowable exception = environment->ExceptionOccurred()) {
        traceLine({L"main threw an exception"});
        if (!handleMainException(run, exception)) {
            return false;
        }
    }

    if (run.settings->ibmAllowed && run.settings->ibmFavored) {
        // With an IBM runtime the VM thread stays: the program ends only
        // through System.exit.
        Sleep(INFINITE);
    }
    return run.javaVm->DetachCurrentThread() == JNI_OK;
}
