#include "config/settings_reader.h"

#include <optional>
#include <utility>

#include "config/embedded_settings.h"
#include "support/folder_of_path.h"
#include "config/module_path.h"
#include "config/settings_files_source.h"
#include "config/settings_model.h"
#include "config/settings_path_rules.h"
#include "ui/error_reporter.h"
#include "resources/resource_ids.h"

bool readLauncherSettings(HWND owner, LauncherSettings& settings)
{
    // One look at the executable's path serves every file name below. When
    // it cannot be read the user has been told; a path without "." gives no
    // settings file and fails without a word.
    std::optional<std::wstring> executablePath = modulePath(owner);
    if (!executablePath) {
        return false;
    }
    std::optional<std::wstring> settingsFile = settingsFilePathFor(*executablePath);
    if (!settingsFile) {
        return false;
    }
    SettingsFilesSource source(*executablePath, std::move(*settingsFile),
                               readEmbeddedSettings(GetModuleHandleW(nullptr)));
    std::wstring executableFolder =
        folderOfPath(*executablePath, FolderForm::withoutTrailingBackslash);
    if (fillLauncherSettings(source, executableFolder, settings) ==
        SettingsOutcome::mainClassMissing) {
        ErrorReporter::showError(owner, IDS_MAIN_CLASS_MISSING);
        return false;
    }
    return true;
}
