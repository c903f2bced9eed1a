#include "support/java_product.h"

#include <algorithm>

#include "support/bridge_runtime.h"
#include "support/polling.h"
#include "support/test_paths.h"
#include "support/test_jvm/test_jvm_variables.h"
#include "support/ui_driver.h"

namespace harness {

bool JavaProduct::create(TestJvm variant, std::wstring_view productName,
                         std::wstring_view folderSuffix)
{
    if (!createSandbox(productName, folderSuffix)) {
        return false;
    }
    std::optional<std::wstring> library = layOutTestRuntime(sandbox_.pathOf(L"jre64"), variant);
    if (!library) {
        return false;
    }
    jvmLibraryPath_ = *library;
    inheritEnvironment();
    return true;
}

bool JavaProduct::createWithBridgeRuntime(std::wstring_view productName,
                                          std::wstring_view folderSuffix)
{
    if (!createSandbox(productName, folderSuffix)) {
        return false;
    }
    std::optional<std::wstring> library = layOutBridgeRuntime(sandbox_.pathOf(L"jre64"));
    if (!library) {
        return false;
    }
    jvmLibraryPath_ = *library;
    inheritEnvironment();
    return true;
}

bool JavaProduct::createSandbox(std::wstring_view productName, std::wstring_view folderSuffix)
{
    return sandbox_.create(productName, folderSuffix) && sandbox_.writeFile(L"app.jar", "");
}

bool JavaProduct::useConsoleBuild(std::wstring_view productName)
{
    return sandbox_.installExecutable(consoleLauncherPath(), productName);
}

void JavaProduct::inheritEnvironment()
{
    environment_ = EnvironmentBlock::inherited();
    environment_.set(L"APPDATA", sandbox_.pathOf(L"AppData"));
    environment_.remove(L"JAVA_HOME");
    environment_.set(test_jvm::kTraceVariable, tracePath());
}

bool JavaProduct::writeSettings(std::string_view mainClass, std::string_view runtimeKeys,
                                std::string_view moreSections)
{
    std::string text = "[Java Runtime Environment]\r\nMain Class=" + std::string(mainClass) +
                       "\r\n" + std::string(runtimeKeys) +
                       "[Class Path]\r\nClass Path=app.jar\r\n" + std::string(moreSections);
    return sandbox_.writeIni(text);
}

LauncherRun JavaProduct::run(const std::vector<std::wstring>& arguments, DWORD limitMilliseconds)
{
    LauncherRun result;
    std::wstring trace = tracePath();
    DeleteFileW(trace.c_str());  // the runtime appends: one trace per run

    ProcessStart start(sandbox_.executablePath(),
                       commandLineOf(sandbox_.executablePath(), arguments));
    start.currentFolder = sandbox_.folder();
    start.environment = environment_;
    if (!outputName_.empty()) {
        start.outputFile = sandbox_.pathOf(outputName_);
    }
    if (!errorName_.empty()) {
        start.errorFile = sandbox_.pathOf(errorName_);
    }
    start.pipeStandardStreams = pipeStreams_ && start.outputFile.empty() && start.errorFile.empty();
    std::optional<RunningProcess> launcher = RunningProcess::start(start);
    if (!launcher) {
        return result;  // neither finished nor killed: the test sees it never ran
    }
    ULONGLONG deadline = GetTickCount64() + limitMilliseconds;
    // Each look waits for a box itself, so no pause between looks.
    constexpr DWORD kBoxPollMilliseconds = 200;
    auto endedOrStuck = [&] {
        launcher->readPipes();
        for (HWND window : topLevelWindowsOf(launcher->id())) {
            std::wstring className = windowClassName(window);
            if (std::find(result.windowClasses.begin(), result.windowClasses.end(), className) ==
                result.windowClasses.end()) {
                result.windowClasses.push_back(className);
            }
        }
        if (!launcher->isRunning()) {
            return true;
        }
        if (std::optional<HWND> box = waitForDialog(launcher->id(), kBoxPollMilliseconds)) {
            std::optional<std::wstring> text = messageBoxText(*box);
            result.boxes.push_back(
                text.value_or(L"(not a message box: " + windowText(*box) + L")"));
            if (!clickButton(*box, IDOK)) {
                return true;
            }
            // The same box must not be counted twice while it closes.
            static_cast<void>(waitForWindowToClose(*box, 5000));
        }
        return false;
    };
    static_cast<void>(pollUntil(endedOrStuck, limitMilliseconds, 0));
    ULONGLONG now = GetTickCount64();
    result.outcome = launcher->waitForExit(now < deadline ? static_cast<DWORD>(deadline - now) : 0);
    result.trace = readTestJvmTrace(trace);
    result.output = launcher->pipedOutput();
    result.error = launcher->pipedError();
    return result;
}

std::vector<std::string> vmOptionsFromTrace(const std::vector<std::string>& trace)
{
    std::vector<std::string> options;
    for (const std::string& line : trace) {
        if (line.starts_with("option ")) {
            options.push_back(line.substr(7));
        } else if (line.starts_with("option+extraInfo ")) {
            options.push_back(line.substr(17));
        }
    }
    return options;
}

bool traceHas(const std::vector<std::string>& trace, std::string_view line)
{
    return std::find(trace.begin(), trace.end(), line) != trace.end();
}

}  // namespace harness
