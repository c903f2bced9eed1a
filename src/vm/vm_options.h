// The process environment the Java runtime sees and the JVM option list the
// launcher hands to it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "config/launcher_settings.h"
#include "vm/class_data_sharing.h"

// The JVM options, in order, as 8-bit strings.
using VmOptionList = std::vector<std::string>;

// Where the Java program's standard output and error go; empty names keep the
// console's streams.
struct StreamRedirection {
    std::wstring outputFile;
    bool outputAppend = false;
    std::wstring errorFile;
    bool errorAppend = false;
};

// Sets the variables the runtime and the Java program's children see, and
// adds the library path option when the product names one.
void prepareVmEnvironment(const std::wstring& jvmLibraryPath, const ProductPaths& paths,
                          const LauncherSettings& settings, VmOptionList& options);

// Builds the option list; may add arguments ("Cmd"), set the VM thread's
// stack size from an -Xss option and fill the stream redirection; adds the
// class-data-sharing archive's options last, when there is one. Reports a
// missing class path itself; the VM is created all the same.
void assembleVmOptions(HWND owner, const ProductPaths& paths, const LauncherSettings& settings,
                       const std::wstring& jvmLibraryPath, ClassDataSharingStart& sharing,
                       std::vector<std::wstring>& arguments, VmOptionList& options,
                       std::uint64_t& vmThreadStackSize, StreamRedirection& streamRedirection);
