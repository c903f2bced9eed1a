#include "vm/vm_options.h"

#include <optional>
#include <utility>

#include "config/cmd_arguments.h"
#include "config/environment_text.h"
#include "resources/resource_ids.h"
#include "support/diagnostic_trace.h"
#include "vm/class_data_sharing.h"
#include "support/folder_of_path.h"
#include "support/handle_owners.h"
#include "support/long_path.h"
#include "ui/error_reporter.h"
#include "vm/machine_memory.h"
#include "vm/memory_options.h"
#include "vm/vm_option_text.h"
#include "vm/vm_parameter_text.h"

namespace {

// A failed expansion leaves the text as written, and it is used so.
std::wstring expanded(std::wstring text)
{
    static_cast<void>(expandEnvironmentInPlace(text));
    return text;
}

// A variable that cannot be set is left as it was; the start goes on.
void setVariable(const wchar_t* name, const std::wstring& value)
{
    static_cast<void>(SetEnvironmentVariableW(name, value.c_str()));
}

// The VM rejects an empty option and then does not start at all, so an entry
// that is empty (a "+" section's leading blank, a token of two quotes, a
// variable with an empty value) is not handed on.
void appendOption(VmOptionList& options, const std::wstring& option)
{
    std::string converted = wideToAnsi(option);
    if (!converted.empty()) {
        traceLine({L"VM option ", traceNumber(static_cast<long long>(options.size() + 1)), L": ",
                   option});
        options.push_back(std::move(converted));
    } else {
        traceLine({L"VM option left out, no ANSI form: ", option});
    }
}

// Appends every file or folder the entry matches, in the order the file
// system lists them; an entry that matches nothing adds nothing.
void expandClassPathEntry(const std::wstring& entry, const std::wstring& executableFolder,
                          std::wstring& classPath)
{
    const std::wstring pattern = classPathSearchPattern(entry, executableFolder);
    const std::optional<std::wstring> searched = toSystemPath(pattern);
    if (!searched) {
        return;
    }
    WIN32_FIND_DATAW match{};
    FindHandle search(FindFirstFileW(searched->c_str(), &match));
    if (!search) {
        return;
    }
    const std::wstring folder = searchResultFolder(pattern);
    do {
        if (!isFolderSelfOrParent(match.cFileName)) {
            classPath += folder;
            classPath += L'\\';
            classPath += match.cFileName;
            classPath += L';';
        }
    } while (FindNextFileW(search.get(), &match));
}

std::wstring classPathFromSettings(const LauncherSettings& settings, const ProductPaths& paths)
{
    std::wstring classPath;
    for (std::wstring entry : settings.classPath) {
        static_cast<void>(expandEnvironmentInPlace(entry));
        if (isSearchedClassPathEntry(entry)) {
            expandClassPathEntry(entry, paths.executableFolder, classPath);
        } else {
            classPath += entry;
            classPath += L';';
        }
    }
    if (settings.embeddedJar) {
        classPath = paths.executablePath + L';' + classPath;
    }
    return classPath;
}

void addVmParameter(std::wstring token, std::vector<std::wstring>& pending,
                    std::uint64_t& vmThreadStackSize)
{
    stripQuotes(token);
    if (isMemoryShareOption(token)) {
        // Read for every token: the free address space changes as the
        // launcher runs.
        resolveMemoryShare(token, readMachineMemory());
    }
    if (isStackSizeOption(token)) {
        vmThreadStackSize = stackSizeFromOption(token);
    }
    pending.push_back(std::move(token));
}

StreamRedirection streamRedirectionFromSettings(const LauncherSettings& settings)
{
    StreamRedirection redirection;
    redirection.outputFile = expanded(settings.outputFile);
    redirection.outputAppend = settings.outputAppend;
    redirection.errorFile = expanded(settings.errorFile);
    redirection.errorAppend = settings.errorAppend;
    return redirection;
}

}  // namespace

void prepareVmEnvironment(const std::wstring& jvmLibraryPath, const ProductPaths& paths,
                          const LauncherSettings& settings, VmOptionList& options)
{
    // Both variables are set first, so that every setting expanded from here
    // on may refer to the runtime.
    setVariable(L"TARVO_JVM_PATH", jvmLibraryPath);
    setVariable(L"TARVO_JVM_HOME", runtimeHomeFolder(jvmLibraryPath));

    if (!settings.libraryPath.empty()) {
        // %Path% in it is still the inherited PATH: the new one is set below.
        appendOption(options,
                     L"-Djava.library.path=" +
                         expanded(libraryPathText(settings.libraryPath,
                                                  withTrailingBackslash(paths.executableFolder),
                                                  jvmLibraryPath)));
    }
    setVariable(L"Path", expanded(searchPathText(settings.systemPath, jvmLibraryPath)));
}

void assembleVmOptions(HWND owner, const ProductPaths& paths, const LauncherSettings& settings,
                       const std::wstring& jvmLibraryPath, ClassDataSharingStart& sharing,
                       std::vector<std::wstring>& arguments, VmOptionList& options,
                       std::uint64_t& vmThreadStackSize, StreamRedirection& streamRedirection)
{
    const std::wstring classPath = classPathFromSettings(settings, paths);
    if (classPath.empty()) {
        ErrorReporter::showError(owner, IDS_CLASS_PATH_MISSING);
        return;
    }
    std::vector<std::wstring> pending{classPathOption(classPath)};
    for (std::wstring& token : splitVmParameters(settings.vmParameters)) {
        addVmParameter(std::move(token), pending, vmThreadStackSize);
    }
    for (std::wstring& entry : pending) {
        entry = expanded(std::move(entry));
    }
    addClassDataSharingOptions(settings, jvmLibraryPath, expanded(classPath), sharing, pending);
    for (const std::wstring& entry : pending) {
        appendOption(options, entry);
    }

    streamRedirection = streamRedirectionFromSettings(settings);
    appendCmdArguments(settings.cmd, arguments);
}
