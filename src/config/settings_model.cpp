#include "config/settings_model.h"

#include "config/setting_forms.h"
#include "support/split_text.h"

namespace {

constexpr wchar_t productSection[] = L"Product Information";
constexpr wchar_t applicationSection[] = L"Application";
constexpr wchar_t runtimeSection[] = L"Java Runtime Environment";
constexpr wchar_t classPathSection[] = L"Class Path";
constexpr wchar_t displaySection[] = L"Display";

// For an application the runtime folder the user chose lives in the per-user
// file, and that file, once it exists, is the only place asked: a "JRE Path"
// beside the executable is then hidden even when the per-user file lacks the
// key. A service keeps its choice in the settings file itself.
std::wstring readJrePath(SettingsTextSource& source, const LauncherSettings& settings)
{
    if (!settings.isService) {
        std::optional<std::wstring> userValue = source.readUserSetting(
            settings.productName, settings.productCode, runtimeSection, L"JRE Path");
        if (userValue) {
            return *userValue;
        }
    }
    return source.readLayeredSetting(runtimeSection, L"JRE Path");
}

// The keys that say which runtime may run the product, up to the one that
// names the main class.
void readRuntimeChoice(SettingsTextSource& source, std::wstring_view executableFolder,
                       LauncherSettings& settings)
{
    settings.productCode = source.readFileSetting(productSection, L"Product Code");
    settings.productName = source.readFileSetting(productSection, L"Product Name");

    settings.minimumVersion =
        minimumVersionFromText(source.readLayeredSetting(runtimeSection, L"Minimum Version"));
    settings.maximumVersion =
        maximumVersionSetting(source.readLayeredSetting(runtimeSection, L"Maximum Version"));

    settings.isService =
        source.readLayeredSetting(applicationSection, L"Application Type") == L"service";

    settings.preferredVersions =
        splitText(source.readLayeredSetting(runtimeSection, L"Preferred versions"), L";");

    // The product name and code above and isService decide where this is read.
    settings.jrePath = resolveJrePath(readJrePath(source, settings), executableFolder);

    settings.jvmType = jvmTypeFromText(source.readLayeredSetting(runtimeSection, L"JVM Type"));
    applyJvmSource(source.readLayeredSetting(runtimeSection, L"JVM Source"), settings);
    applyVmProvider(source.readLayeredSetting(runtimeSection, L"VM Provider"), settings);
}

// How the start goes on once a runtime is found: the working folder, the
// search paths and the pair product.
void readStartKeys(SettingsTextSource& source, LauncherSettings& settings)
{
    settings.failureCheck =
        isYesIgnoringCase(source.readLayeredSetting(applicationSection, L"Failure Check"));
    settings.overrideWorkingDir =
        isYesIgnoringCase(source.readLayeredSetting(applicationSection, L"Override WorkingDir"));
    settings.systemPath = source.readLayeredSetting(runtimeSection, L"System Path");
    settings.libraryPath = source.readLayeredSetting(runtimeSection, L"Library Path");
    settings.pairProduct = source.readLayeredSetting(applicationSection, L"Pair Product");
    settings.pairReturnCode =
        isYesIgnoringCase(source.readLayeredSetting(applicationSection, L"Pair Return Code"));
}

// The keys the single-instance channel and the Java program's start use.
void readJavaProgramKeys(SettingsTextSource& source, LauncherSettings& settings)
{
    // Only "yes" exactly: "Yes" and "true" leave the mode off.
    settings.singleInstance =
        isExactlyYes(source.readLayeredSetting(applicationSection, L"Single Instance"));
    settings.classPath =
        splitText(source.readLayeredSetting(classPathSection, L"Class Path"), L";");
    settings.embeddedJar =
        isYesIgnoringCase(source.readLayeredSetting(applicationSection, L"Embedded Jar"));
    settings.vmParameters =
        source.readLayeredSetting(runtimeSection, L"Virtual Machine Parameters");
    settings.outputFile = source.readLayeredSetting(applicationSection, L"Output File");
    settings.outputAppend =
        isExactlyYes(source.readLayeredSetting(applicationSection, L"Output Append"));
    settings.errorFile = source.readLayeredSetting(applicationSection, L"Error File");
    settings.errorAppend =
        isExactlyYes(source.readLayeredSetting(applicationSection, L"Error Append"));
    settings.cmd = source.readLayeredSetting(applicationSection, L"Cmd");
}

// The splash keys: no embedded layer, no "+" sections.
void readDisplayKeys(SettingsTextSource& source, LauncherSettings& settings)
{
    settings.splash.picture = source.readFileSetting(displaySection, L"Splash Screen");
    settings.splash.shadow = source.readFileSetting(displaySection, L"Splash Screen Shadow");
    settings.splash.preferNative =
        source.readFileSetting(displaySection, L"Preffer Native Splash Screen");
}

}  // namespace

SettingsOutcome fillLauncherSettings(SettingsTextSource& source, std::wstring_view executableFolder,
                                     LauncherSettings& settings)
{
    readRuntimeChoice(source, executableFolder, settings);
    std::wstring mainClass = source.readLayeredSetting(runtimeSection, L"Main Class");
    if (mainClass.empty()) {
        return SettingsOutcome::mainClassMissing;
    }
    settings.mainClass = mainClassFromText(mainClass);
    readStartKeys(source, settings);
    readJavaProgramKeys(source, settings);
    readDisplayKeys(source, settings);
    // Read last, after the keys of earlier versions. Absent or empty counts as
    // "yes"; any other text switches the search of installed runtimes off.
    std::wstring searchInstalled =
        source.readLayeredSetting(runtimeSection, L"Search Installed Runtimes");
    settings.searchInstalledRuntimes = searchInstalled.empty() || isExactlyYes(searchInstalled);
    settings.classDataSharing = source.readLayeredSetting(runtimeSection, L"Class Data Sharing");
    return SettingsOutcome::complete;
}
