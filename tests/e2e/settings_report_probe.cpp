// Reads the settings exactly as the launcher does at start-up, appends the
// "Cmd" arguments to its own, and writes what it got as UTF-8 "name=value"
// lines into the file named by TARVO_SETTINGS_REPORT. It carries the same
// embedded settings as the embedded-settings launcher, so a test can see
// how the embedded layer, the settings file and the per-user file combine.
// Exit code 0 when the settings were read, 1 when not, 2 when no report
// could be written.
#include <windows.h>

#include <string>
#include <vector>

#include "config/cmd_arguments.h"
#include "config/command_line_split.h"
#include "config/runtime_version.h"
#include "config/settings_paths.h"
#include "config/settings_reader.h"
#include "support/handle_owners.h"
#include "support/test_text.h"

namespace {

std::string versionText(const RuntimeVersion& version)
{
    std::string text;
    for (std::int32_t part : version.parts) {
        if (!text.empty()) {
            text += '.';
        }
        text += std::to_string(part);
    }
    return text;
}

std::string joined(const std::vector<std::wstring>& items)
{
    std::string text;
    for (size_t index = 0; index < items.size(); ++index) {
        if (index > 0) {
            text += '|';
        }
        text += harness::toUtf8(items[index]);
    }
    return text;
}

std::string report(bool read, const LauncherSettings& s, const std::vector<std::wstring>& arguments)
{
    auto flag = [](bool value) { return value ? std::string("1") : std::string("0"); };
    std::string text;
    auto line = [&text](const char* name, const std::string& value) {
        text += std::string(name) + "=" + value + "\n";
    };
    line("read", flag(read));
    line("productCode", harness::toUtf8(s.productCode));
    line("productName", harness::toUtf8(s.productName));
    line("minimumVersion", versionText(s.minimumVersion));
    line("maximumVersion", versionText(s.maximumVersion));
    line("isService", flag(s.isService));
    line("preferredVersions", joined(s.preferredVersions));
    line("jrePath", harness::toUtf8(s.jrePath));
    line("jvmType", std::to_string(s.jvmType));
    line("favorMode", flag(s.favorMode));
    line("jdkWanted", flag(s.jdkWanted));
    line("jreWanted", flag(s.jreWanted));
    line("vendors", flag(s.sunAllowed) + flag(s.sunFavored) + flag(s.jrockitAllowed) +
                        flag(s.jrockitFavored) + flag(s.ibmAllowed) + flag(s.ibmFavored));
    line("mainClass", harness::toUtf8(s.mainClass));
    line("failureCheck", flag(s.failureCheck));
    line("overrideWorkingDir", flag(s.overrideWorkingDir));
    line("systemPath", harness::toUtf8(s.systemPath));
    line("libraryPath", harness::toUtf8(s.libraryPath));
    line("pairProduct", harness::toUtf8(s.pairProduct));
    line("pairReturnCode", flag(s.pairReturnCode));
    line("arguments", joined(arguments));
    return text;
}

bool writeReport(const std::string& text)
{
    wchar_t path[MAX_PATH];
    DWORD length = GetEnvironmentVariableW(L"TARVO_SETTINGS_REPORT", path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return false;
    }
    FileHandle file(CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return false;
    }
    DWORD written = 0;
    return WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size();
}

}  // namespace

int wmain()
{
    std::vector<std::wstring> arguments = argumentsFromCommandLine(GetCommandLineW());
    LauncherSettings settings;
    std::optional<ProductPaths> paths = findProductPaths(nullptr);
    bool read = paths && readLauncherSettings(nullptr, *paths, settings);
    if (read) {
        appendCmdArguments(settings.cmd, arguments);
    }
    if (!writeReport(report(read, settings, arguments))) {
        return 2;
    }
    return read ? 0 : 1;
}
