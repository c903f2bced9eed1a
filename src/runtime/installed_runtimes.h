// The runtimes installed on the machine that the JavaSoft keys do not name:
// the keys the vendors' installers write for themselves, per machine and per
// user, and the runtimes that are only on PATH. Only read, never written.
#pragma once

#include <optional>
#include <string>

#include "config/launcher_settings.h"
#include "runtime/installed_runtime_rules.h"

// Tells what a JVM library is built for. The caller supplies it: reading a
// PE image is not this layer's business.
using LibraryMachineReader = LibraryMachine (*)(const std::wstring& libraryPath);

struct InstalledRuntimeChoice {
    std::wstring jvmLibraryPath;
    bool handToPair = false;  // an x86 runtime for the pair product
};

// The best installed runtime for the settings, or nothing. Runtimes of the
// wrong bitness for this launcher are skipped, never loaded.
[[nodiscard]] std::optional<InstalledRuntimeChoice> findInstalledRuntime(
    const LauncherSettings& settings, LibraryMachineReader readMachine);

// The version the JAVA_VERSION line of the runtime's "release" file names
// (the first 64 KiB are read); nothing when the file cannot be read or names
// none. homeFolder may end with "\\" or not.
[[nodiscard]] std::optional<RuntimeVersion> releaseFileVersion(const std::wstring& homeFolder);
