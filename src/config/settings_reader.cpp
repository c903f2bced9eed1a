#include "config/settings_reader.h"

#include "config/embedded_settings.h"
#include "config/settings_files_source.h"
#include "config/settings_model.h"
#include "resources/resource_ids.h"
#include "ui/error_reporter.h"

bool readLauncherSettings(HWND owner, const ProductPaths& paths, LauncherSettings& settings)
{
    SettingsFilesSource source(paths.executablePath, paths.settingsFile,
                               readEmbeddedSettings(GetModuleHandleW(nullptr)));
    if (fillLauncherSettings(source, paths.executableFolder, settings) ==
        SettingsOutcome::mainClassMissing) {
        ErrorReporter::showError(owner, IDS_MAIN_CLASS_MISSING);
        return false;
    }
    return true;
}
