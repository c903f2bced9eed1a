// Hosting the Java VM inside the launcher process: creating the VM and running
// the Java program's main class.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "config/launcher_settings.h"
#include "vm/jvm_entry_points.h"
#include "vm/vm_options.h"

// What the VM thread works with; written before the thread starts. The VM
// host calls back into the launcher for the splash window and the
// single-instance channel, which live elsewhere.
struct VmRun {
    const LauncherSettings* settings = nullptr;
    const std::vector<std::wstring>* arguments = nullptr;
    const VmOptionList* options = nullptr;
    const JvmEntryPoints* entries = nullptr;
    StreamRedirection* streamRedirection = nullptr;

    // The owner of error boxes, asked each time: the splash window may appear
    // or go while the VM starts.
    std::function<HWND()> ownerWindow;
    // Closes the launcher's own splash window before an exception is shown.
    std::function<void()> closeSplashWindow;
    // Lets the first instance serve later starts once main is about to run.
    std::function<void()> signalReady;
    // Shows the unhandled exception; true means the user chose to stop.
    std::function<bool(jthrowable, JNIEnv*)> showExceptionDialog;

    JavaVM* javaVm = nullptr;
    JNIEnv* jniEnv = nullptr;
};

// Creates the VM on the calling thread with the option list and the exit and
// abort hooks, then redirects System.out and System.err as the settings ask.
// Reports a VM that cannot be created itself.
[[nodiscard]] bool createVm(VmRun& run);

// Finds the main class and calls main with the arguments, then detaches the
// calling thread; reports its own failures.
[[nodiscard]] bool runMainClass(VmRun& run);
