// Hosting the Java VM inside the launcher process: the JVM library, the option
// list and the Java program's main class.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "config/launcher_settings.h"
#include "vm/jvm_entry_points.h"

// The process environment the runtime and the Java program's children see.
void prepareVmEnvironment(const std::wstring& jvmLibraryPath, const LauncherSettings& settings);

// The JVM options, in order, as 8-bit strings.
using VmOptionList = std::vector<std::string>;

// Builds the option list; may add arguments ("Cmd") and set the VM thread's
// stack size from an -Xss option. Reports a missing class path itself; the VM is
// created all the same.
void assembleVmOptions(HWND owner, const LauncherSettings& settings,
                       std::vector<std::wstring>& arguments, VmOptionList& options,
                       std::uint64_t& vmThreadStackSize);

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
