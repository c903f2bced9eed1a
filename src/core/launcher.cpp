#include "core/launcher.h"

#include <cstdint>
#include <limits>

#include "config/command_line_split.h"
#include "config/environment_text.h"
#include "config/runtime_folder_store.h"
#include "config/setting_forms.h"
#include "config/settings_paths.h"
#include "config/settings_reader.h"
#include "core/pe_image.h"
#include "resources/resource_ids.h"
#include "runtime/installed_runtimes.h"
#include "runtime/jvm_library_probe.h"
#include "runtime/runtime_locator.h"
#include "support/console_program.h"
#include "support/diagnostic_trace.h"
#include "support/folder_of_path.h"
#include "support/handle_owners.h"
#include "ui/error_reporter.h"
#include "ui/event_log.h"
#include "ui/window_station.h"
#include "vm/exception_dialog.h"
#include "vm/jvm_library.h"
#include "vm/vm_option_text.h"

namespace {

// Only the 64-bit launcher has a paired build to hand x86 runtimes to.
#ifdef _WIN64
constexpr bool kHandsX86RuntimesToThePair = true;
#else
constexpr bool kHandsX86RuntimesToThePair = false;
#endif

void traceArguments(const std::vector<std::wstring>& arguments)
{
    if (!traceEnabled()) {
        return;
    }
    traceLine({L"arguments: ", traceNumber(static_cast<long long>(arguments.size()))});
    for (const std::wstring& argument : arguments) {
        traceLine({L"  [", argument, L"]"});
    }
}

}  // namespace

Launcher::~Launcher()
{
    // The order matters: the splash goes first, the VM next (DestroyJavaVM waits
    // for the Java program's last non-daemon thread, and until then handovers
    // are still served), then the channel, which first refuses every handover
    // so that none attaches to the destroyed VM, then stops its listener.
    splash.closeSplashWindow();
    if (vmRun.javaVm) {
        vmRun.javaVm->DestroyJavaVM();
        vmRun.javaVm = nullptr;
    }
    instanceChannel.closeChannel();
    splash.callRuntimeSplashClose();
}

bool Launcher::initialize()
{
    arguments = argumentsFromCommandLine(GetCommandLineW());
    // The executable's path is read once: every file name below comes from it.
    std::optional<ProductPaths> found = findProductPaths(ownerWindow());
    if (!found) {
        return false;
    }
    paths = std::move(*found);
    traceLine({L"executable: ", paths.executablePath});
    traceArguments(arguments);
    if (!readLauncherSettings(ownerWindow(), paths, settings)) {
        return false;
    }
    // A service's errors go to the event log under the product's name.
    setEventLogSource(settings.productName);
    if (!settings.pairProduct.empty()) {
        traceLine({L"pair product: ", settings.pairProduct});
    }
    if (!instanceChannel.setUp(settings, paths.executablePath, arguments)) {
        return false;
    }
    // A later start has handed its arguments over: it neither changes its
    // working folder nor looks for a runtime.
    if (instanceChannel.singleInstanceActive() && !instanceChannel.isFirstInstance()) {
        return true;
    }
    if (settings.overrideWorkingDir) {
        applyWorkingFolder();
    }
    return findRuntime();
}

void Launcher::applyWorkingFolder()
{
    if (!paths.executableFolder.empty()) {
        SetCurrentDirectoryW(paths.executableFolder.c_str());
    }
}

// The sources in their fixed order; the first that yields a JVM library wins.
bool Launcher::findRuntime()
{
    return useConfiguredRuntime() || useRuntimeBesideExecutable() || useRegisteredRuntime() ||
           useJavaHomeRuntime() || useInstalledRuntime() || useRuntimeTheUserChooses();
}

bool Launcher::useRuntimeIn(const std::wstring& homeFolder, Bitness bitness)
{
    std::optional<JvmLibraryLocation> library = findJvmLibrary(homeFolder, settings.jvmType);
    if (!library) {
        traceLine({L"  not taken: no JVM library under ", homeFolder});
        return false;
    }
    jvmLibraryPath = library->path;
    traceLine({L"  taken: ", jvmLibraryPath});
    if (bitness == Bitness::checked) {
        checkRuntimeBitness();
    }
    return true;
}

bool Launcher::useConfiguredRuntime()
{
    traceLine({L"runtime source 1, JRE Path: ",
               settings.jrePath.empty() ? std::wstring_view(L"not set") : settings.jrePath});
    return !settings.jrePath.empty() &&
           useRuntimeIn(withTrailingBackslash(settings.jrePath), Bitness::checked);
}

// A runtime shipped beside the executable is the product's own: no bitness
// check, no hand-over.
bool Launcher::useRuntimeBesideExecutable()
{
    std::wstring home = withTrailingBackslash(paths.executableFolder);
    traceLine({L"runtime source 2, beside the executable: ", home});
    if (!hasJavaDll(home)) {
        home += L"jre64\\";
    }
    if (!hasJavaDll(home)) {
        traceLine({L"  not taken: no bin\\java.dll there nor in jre64"});
        return false;
    }
    return useRuntimeIn(home, Bitness::trusted);
}

bool Launcher::useRegisteredRuntime()
{
    traceLine({L"runtime source 3, the registry"});
    std::optional<RegistryRuntime> registered = findRegistryRuntime(settings);
    if (!registered) {
        return false;
    }
    jvmLibraryPath = registered->jvmLibraryPath;
    delegateToPair = registered->foundInWow64View;
    traceLine({L"  taken: ", jvmLibraryPath,
               delegateToPair ? L", found in the 32-bit view: handed to the pair" : L""});
    return true;
}

bool Launcher::useJavaHomeRuntime()
{
    const std::wstring javaHomeReference = L"%JAVA_HOME%";
    std::wstring javaHome = expandEnvironment(javaHomeReference);
    if (javaHome.empty() || javaHome == javaHomeReference) {
        traceLine({L"runtime source 4, JAVA_HOME: not set"});
        return false;
    }
    std::wstring home = withTrailingBackslash(javaHome);
    traceLine({L"runtime source 4, JAVA_HOME: ", home});
    if (!hasJavaDll(home)) {
        traceLine({L"  not taken: no bin\\java.dll"});
        return false;
    }
    return useRuntimeIn(home, Bitness::checked);
}

namespace {

// What the search of installed runtimes needs to know of a JVM library. Only a
// genuine PE image tells; anything else is left to the binding.
LibraryMachine jvmLibraryMachine(const std::wstring& libraryPath)
{
    std::optional<PeImageInfo> image = readPeImageInfo(libraryPath);
    if (!image || !image->validImage) {
        return LibraryMachine::unknown;
    }
    return image->machine == kMachineX86 ? LibraryMachine::x86 : LibraryMachine::otherMachine;
}

}  // namespace

// The runtimes that vendor installers registered under their own keys, and
// those on PATH: asked only where the user would otherwise have to choose.
// The search has skipped runtimes of the wrong bitness already.
bool Launcher::useInstalledRuntime()
{
    if (!settings.searchInstalledRuntimes) {
        traceLine({L"runtime source 4b, installed runtimes: off (Search Installed Runtimes)"});
        return false;
    }
    traceLine({L"runtime source 4b, installed runtimes"});
    std::optional<InstalledRuntimeChoice> installed =
        findInstalledRuntime(settings, &jvmLibraryMachine);
    if (!installed) {
        return false;
    }
    jvmLibraryPath = installed->jvmLibraryPath;
    delegateToPair = installed->handToPair;
    traceLine({L"  taken: ", jvmLibraryPath,
               delegateToPair ? L", an x86 runtime: handed to the pair" : L""});
    return true;
}

// The last source: the runtime-not-found dialog. The folder the user chose is
// remembered so that the next start finds it without asking.
bool Launcher::useRuntimeTheUserChooses()
{
    traceLine({L"runtime source 5, the user"});
    std::optional<ChosenRuntime> chosen =
        askForRuntime(GetActiveWindow(), runtimeNotFoundMessage(settings), settings.jvmType);
    if (!chosen) {
        return false;
    }
    jvmLibraryPath = chosen->jvmLibraryPath;
    checkRuntimeBitness();
    storeChosenRuntimeFolder(paths, settings, chosen->folder);
    return true;
}

void Launcher::checkRuntimeBitness()
{
    delegateToPair = false;
    // The paired 32-bit build runs an x86 runtime itself: handing it on again
    // would only start the pair, which, when the product gives both builds one
    // and the same settings, starts itself without end.
    if (settings.pairProduct.empty() || !kHandsX86RuntimesToThePair) {
        if (traceEnabled()) {
            std::optional<PeImageInfo> image = readPeImageInfo(jvmLibraryPath);
            bool x86 = image && image->validImage && image->machine == kMachineX86;
            traceLine({L"bitness: ", x86 ? L"x86 library, " : L"not an x86 library, ",
                       kHandsX86RuntimesToThePair ? L"no Pair Product" : L"this is the x86 build",
                       L": loaded here"});
        }
        return;
    }
    std::optional<PeImageInfo> image = readPeImageInfo(jvmLibraryPath);
    // Only a genuine PE image decides; a damaged file is left to the binding,
    // which reports it.
    if (image && image->validImage && image->machine == kMachineX86) {
        delegateToPair = true;
    }
    traceLine({L"bitness: ",
               !image || !image->validImage ? L"no valid PE image, loaded here"
               : delegateToPair             ? L"x86 library, handed to the Pair Product"
                                            : L"not an x86 library, loaded here"});
}

int Launcher::run()
{
    if (delegateToPair) {
        return runPairProduct();
    }
    if (instanceChannel.singleInstanceActive() && !instanceChannel.isFirstInstance()) {
        return waitForFirstInstance();
    }
    return runJavaProgram();
}

int Launcher::runPairProduct()
{
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    // A relative name is the executable's neighbour: taken as it stands,
    // CreateProcessW would complete it with the current folder, which the
    // caller chose.
    const std::wstring pairProduct =
        resolvePairProduct(settings.pairProduct, paths.executableFolder);
    // The pair product gets this process's command line unchanged; CreateProcessW
    // may write into the buffer, so it gets a copy.
    std::wstring commandLine = GetCommandLineW();
    // A console program's pair writes to the same standard handles, which,
    // when they are files or pipes, it has only if it inherits them.
    BOOL inheritHandles = runsAsConsoleProgram() ? TRUE : FALSE;
    traceLine({L"hand-over to the pair: ", pairProduct, L" with command line ", commandLine});
    BOOL created = CreateProcessW(pairProduct.c_str(), commandLine.data(), nullptr, nullptr,
                                  inheritHandles, 0, nullptr, nullptr, &startup, &started);
    const DWORD startError = created ? ERROR_SUCCESS : GetLastError();
    if (!created) {
        // Ending with 0 would report a start that never happened as a success.
        traceLine({L"  pair not started, error ", traceNumber(startError)});
        ErrorReporter::showErrorWithCode(ownerWindow(),
                                         ErrorReporter::loadText(IDS_PAIR_PRODUCT_NOT_STARTED),
                                         pairProduct, static_cast<std::int32_t>(startError));
        traceLine({L"exit code -1: the pair could not be started"});
        return -1;
    }
    if (traceEnabled()) {
        traceLine({L"  pair started, process ", traceNumber(started.dwProcessId)});
    }
    KernelHandle process(started.hProcess);
    KernelHandle thread(started.hThread);
    if (!settings.pairReturnCode) {
        traceLine({L"exit code 0: the pair's own code is not waited for"});
        return 0;
    }
    WaitForSingleObject(process.get(), INFINITE);
    DWORD exitCode = 0;
    if (!GetExitCodeProcess(process.get(), &exitCode)) {
        exitCode = 0;
    }
    if (traceEnabled()) {
        traceLine({L"exit code ", traceNumber(static_cast<int>(exitCode)), L": the pair's"});
    }
    return static_cast<int>(exitCode);
}

int Launcher::waitForFirstInstance()
{
    // SYNCHRONIZE too: the wait below wakes as soon as the first instance ends.
    KernelHandle firstInstance(OpenProcess(PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE,
                                           instanceChannel.firstProcessId()));
    if (!firstInstance) {
        traceLine({L"exit code 0: the first instance could not be opened to wait for"});
        return 0;
    }
    HANDLE firstInstanceHandle = firstInstance.get();
    for (;;) {
        // Every queued message is looked at: others must not hold up the answer.
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == instanceChannel.messageId()) {
                int answered = static_cast<int>(static_cast<DWORD>(message.wParam));
                if (traceEnabled()) {
                    traceLine({L"exit code ", traceNumber(answered),
                               L": the first instance's answer"});
                }
                return answered;
            }
        }
        DWORD exitCode = 0;
        if (!GetExitCodeProcess(firstInstanceHandle, &exitCode)) {
            // Nobody can tell how the first instance ended: report failure
            // rather than a success that may not have happened.
            traceLine({L"exit code -1: the first instance's end could not be read"});
            return -1;
        }
        // A first instance that ended with the code 259 (STILL_ACTIVE) has
        // ended all the same.
        if (exitCode != STILL_ACTIVE ||
            WaitForSingleObject(firstInstanceHandle, 0) == WAIT_OBJECT_0) {
            if (traceEnabled()) {
                traceLine({L"exit code ", traceNumber(static_cast<int>(exitCode)),
                           L": the first instance ended before it answered"});
            }
            return static_cast<int>(exitCode);
        }
        // Looks again after 100 ms at the latest, at once when a message comes
        // or the first instance ends.
        MsgWaitForMultipleObjects(1, &firstInstanceHandle, FALSE, 100, QS_POSTMESSAGE);
    }
}

bool Launcher::splashWanted() const
{
    for (const std::wstring& argument : arguments) {
        if (argument == L"-nosplash" || argument == L"/nosplash") {
            return false;
        }
    }
    return true;
}

void Launcher::askDefaultStackSize()
{
    if (vmThreadStackSize != 0 || defaultStackSizeAsked || !jvmEntries.defaultInitArgsEntry) {
        return;
    }
    defaultStackSizeAsked = true;
    Jdk11InitArgs initArgs{};
    initArgs.version = kJniVersion11;
    jvmEntries.defaultInitArgsEntry(&initArgs);
    if (initArgs.javaStackSize > 0) {
        vmThreadStackSize = static_cast<std::uint64_t>(initArgs.javaStackSize);
    }
}

int Launcher::runJavaProgram()
{
    prepareVmEnvironment(jvmLibraryPath, paths, settings, vmOptions);
    if (splashWanted()) {
        splash.startSplash(settings.splash, jvmLibraryPath);
    } else {
        traceLine({L"splash: none, -nosplash given"});
    }
    if (!bindJvmLibrary(ownerWindow(), jvmLibraryPath, jvmEntries)) {
        traceLine({L"exit code -1: the JVM library could not be bound"});
        return -1;
    }
    classDataSharing.runtimeVersion = releaseFileVersion(runtimeHomeFolder(jvmLibraryPath));
    assembleVmOptions(ownerWindow(), paths, settings, jvmLibraryPath, classDataSharing, arguments,
                      vmOptions, vmThreadStackSize, streamRedirection);
    askDefaultStackSize();

    prepareVmRun();

    DWORD result = 1;
    HANDLE created = nullptr;
    // A stack size this build cannot express is treated like a thread that
    // could not be created: the program runs on the main thread.
    if (vmThreadStackSize <= std::numeric_limits<SIZE_T>::max()) {
        created = CreateThread(nullptr, static_cast<SIZE_T>(vmThreadStackSize), vmThreadMain, this,
                               0, nullptr);
    }
    if (created) {
        KernelHandle vmThread(created);
        WaitForSingleObject(vmThread.get(), INFINITE);
        if (!GetExitCodeThread(vmThread.get(), &result)) {
            result = 1;
        }
    } else {
        result = runVmOnThisThread() ? 0 : 1;
    }
    if (result == 0) {
        traceLine({L"exit code 0: main returned"});
        return 0;
    }
    splash.callRuntimeSplashClose();
    traceLine({L"exit code -1: the Java program could not be run"});
    return -1;
}

void Launcher::prepareVmRun()
{
    // Everything the VM thread reads is written before it starts.
    vmRun.settings = &settings;
    vmRun.arguments = &arguments;
    vmRun.options = &vmOptions;
    vmRun.entries = &jvmEntries;
    vmRun.streamRedirection = &streamRedirection;
    vmRun.ownerWindow = [this] { return ownerWindow(); };
    vmRun.closeSplashWindow = [this] { splash.closeSplashWindow(); };
    // The VM exists by the time main is about to run, which is when this is called.
    vmRun.signalReady = [this] { instanceChannel.signalReady(vmRun.javaVm); };
    // In a console the VM's own report of the exception is the one people read;
    // on a station nobody sees, the dialog would wait for ever.
    if (!runsAsConsoleProgram() && hasInteractiveWindowStation()) {
        vmRun.showExceptionDialog = &showExceptionDialog;
    }
}

bool Launcher::runVmOnThisThread()
{
    if (!createVm(vmRun) || !runMainClass(vmRun)) {
        return false;
    }
    if (settings.isService && vmRun.javaVm) {
        vmRun.javaVm->DestroyJavaVM();
        vmRun.javaVm = nullptr;
    }
    return true;
}

DWORD WINAPI Launcher::vmThreadMain(void* parameter)
{
    auto* launcher = static_cast<Launcher*>(parameter);
    if (!launcher) {
        return 1;
    }
    return launcher->runVmOnThisThread() ? 0 : 1;
}
