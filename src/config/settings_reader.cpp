#include "config/settings_reader.h"

#include <optional>
#include <utility>

#include "config/embedded_settings.h"
#include "config/settings_files_source.h"
#include "config/settings_model.h"
#include "resources/resource_ids.h"
#include "support/diagnostic_trace.h"
#include "support/long_path.h"
#include "ui/error_reporter.h"

bool readLauncherSettings(HWND owner, const ProductPaths& paths, LauncherSettings& settings)
{
    MemorySettingsStore embedded = readEmbeddedSettings(GetModuleHandleW(nullptr));
    if (traceEnabled()) {
        std::optional<std::wstring> systemPath = toSystemPath(paths.settingsFile);
        DWORD attributes =
            systemPath ? GetFileAttributesW(systemPath->c_str()) : INVALID_FILE_ATTRIBUTES;
        bool found = attributes != INVALID_FILE_ATTRIBUTES &&
                     (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
        traceLine({L"settings file beside the executable ", paths.settingsFile,
                   found ? L": found" : L": absent"});
        traceLine({L"embedded settings: ", embedded.isEmpty() ? L"none" : L"present"});
    }
    SettingsFilesSource source(paths.executablePath, paths.settingsFile, std::move(embedded));
    if (fillLauncherSettings(source, paths.executableFolder, settings) ==
        SettingsOutcome::mainClassMissing) {
        ErrorReporter::showError(owner, IDS_MAIN_CLASS_MISSING);
        return false;
    }
    return true;
}
