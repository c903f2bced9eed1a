// Hosting the Java VM inside the launcher process: the JVM library, the option
// list and the Java program's main class.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "config/launcher_settings.h"
#include "vm/jvm_entry_points.h"
#include "vm/vm_options.h"

// What the VM thread works with; written before the thread starts.
struct VmRun {
    HWND owner = nullptr;
    const LauncherSettings* settings = nullptr;
    const std::vector<std::wstring>* arguments = nullptr;
    const VmOptionList* options = nullptr;
    const JvmEntryPoints* entries = nullptr;
    JavaVM* javaVm = nullptr;
    JNIEnv* jniEnv = nullptr;
};

// Creates the VM on the calling thread; reports its own failures.
[[nodiscard]] bool createVm(VmRun& run);

// Finds the main class and calls main with the arguments, then detaches the
// calling thread; reports its own failures.
[[nodiscard]] bool runMainClass(VmRun& run);
