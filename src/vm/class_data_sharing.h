// The class-data-sharing archive a start maps or writes: the per-user folder,
// the lock of the start that writes, the rename of a complete temporary
// archive and the removal of older ones. All of it best effort: whatever
// fails leaves the option list as it would be without an archive.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "config/launcher_settings.h"
#include "config/runtime_version.h"
#include "support/handle_owners.h"

// What one start knows of the runtime, and the lock it keeps while its JVM
// may write the archive. The lock is never given back: the process's end
// gives it up, after the JVM has written the archive at its exit.
struct ClassDataSharingStart {
    std::optional<RuntimeVersion> runtimeVersion;  // from the runtime's "release" file
    KernelHandle writerLock;
};

// Appends the archive's options to the expanded option texts when the
// settings and the runtime allow one; the trace says what was decided.
void addClassDataSharingOptions(const LauncherSettings& settings,
                                const std::wstring& jvmLibraryPath, const std::wstring& classPath,
                                ClassDataSharingStart& start, std::vector<std::wstring>& options);
