// Settings as the reader leaves them for given "JVM Source", "VM Provider"
// and "JVM Type" texts, with no version limit unless a test sets one.
#pragma once

#include <string_view>

#include "config/launcher_settings.h"
#include "config/runtime_version.h"
#include "config/setting_forms.h"

inline LauncherSettings policySettings(std::wstring_view jvmSource,
                                       std::wstring_view vmProvider = L"",
                                       std::wstring_view jvmType = L"")
{
    LauncherSettings settings;
    settings.minimumVersion = minimumVersionFromText(L"any");
    settings.maximumVersion = maximumVersionFromText(L"any");
    settings.jvmType = jvmTypeFromText(jvmType);
    applyJvmSource(jvmSource, settings);
    applyVmProvider(vmProvider, settings);
    return settings;
}
