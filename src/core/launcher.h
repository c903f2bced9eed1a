// The one application object: gathers what a start needs, runs it, and
// releases everything in a fixed order at the end.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "config/launcher_settings.h"
#include "instance/single_instance_channel.h"
#include "splash/splash_screen.h"
#include "vm/vm_host.h"

class Launcher {
public:
    Launcher() = default;
    ~Launcher();
    Launcher(const Launcher&) = delete;
    Launcher& operator=(const Launcher&) = delete;

    // Reads the command line and settings, settles the single-instance role and
    // finds the runtime. True means run may be called.
    [[nodiscard]] bool initialize();

    // Hands the start over or runs the Java program; returns the exit code.
    int run();

private:
    static DWORD WINAPI vmThreadMain(void* parameter);

    // Whether a runtime from outside the product is checked for the pair.
    enum class Bitness { checked, trusted };

    HWND ownerWindow() const { return splash.ownerWindow(); }
    void applyWorkingFolder();
    [[nodiscard]] bool findRuntime();
    [[nodiscard]] bool useRuntimeIn(const std::wstring& homeFolder, Bitness bitness);
    [[nodiscard]] bool useConfiguredRuntime();
    [[nodiscard]] bool useRuntimeBesideExecutable();
    [[nodiscard]] bool useRegisteredRuntime();
    [[nodiscard]] bool useJavaHomeRuntime();
    [[nodiscard]] bool useInstalledRuntime();
    [[nodiscard]] bool useRuntimeTheUserChooses();
    void checkRuntimeBitness();

    int runPairProduct();
    int waitForFirstInstance();
    int runJavaProgram();
    bool splashWanted() const;
    void askDefaultStackSize();
    void prepareVmRun();
    [[nodiscard]] bool runVmOnThisThread();

    ProductPaths paths;
    LauncherSettings settings;
    std::vector<std::wstring> arguments;
    std::wstring jvmLibraryPath;
    bool delegateToPair = false;
    JvmEntryPoints jvmEntries;
    VmOptionList vmOptions;
    ClassDataSharingStart classDataSharing;  // holds the archive writer's lock
    VmRun vmRun;  // holds javaVm and jniEnv once the VM exists
    std::uint64_t vmThreadStackSize = 0;
    StreamRedirection streamRedirection;
    bool defaultStackSizeAsked = false;
    SplashScreen splash;
    SingleInstanceChannel instanceChannel;
};
