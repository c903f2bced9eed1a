// Finding a Java runtime and the JVM library inside it.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "config/launcher_settings.h"

struct RegistryRuntime {
    std::wstring jvmLibraryPath;
    bool foundInWow64View = false;  // a 32-bit runtime: the pair product must run it
};

// The best registered runtime for the settings: the native registry view first,
// the 32-bit view only when a pair product is configured.
[[nodiscard]] std::optional<RegistryRuntime> findRegistryRuntime(const LauncherSettings& settings);

// The text of the runtime-not-found dialog: the server or the general message
// with the version requirement filled in.
std::wstring runtimeNotFoundMessage(const LauncherSettings& settings);

struct ChosenRuntime {
    std::wstring jvmLibraryPath;
    std::wstring folder;
};

// Shows the runtime-not-found dialog with the message; the runtime the user
// picked, or nothing when the dialog was cancelled or could not be shown. The
// console build writes the message and the download address to standard
// error instead and gives nothing.
[[nodiscard]] std::optional<ChosenRuntime> askForRuntime(HWND owner, const std::wstring& message,
                                                         int jvmType);
