#include "support/bridge_runtime.h"

#include <windows.h>

#include "support/handle_owners.h"
#include "support/sandbox.h"
#include "support/test_paths.h"
#include "support/test_text.h"

namespace harness {

namespace {

constexpr std::string_view kJavaKey = "java=";

bool exists(const std::wstring& path)
{
    return GetFileAttributesW(extendedLengthPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The value of the "java=" line of bridge.cfg, line end cut; nothing without the line.
std::optional<std::string> configuredJava(const std::string& configuration)
{
    size_t start = 0;
    while (start < configuration.size()) {
        size_t end = configuration.find('\n', start);
        if (end == std::string::npos) {
            end = configuration.size();
        }
        std::string line = configuration.substr(start, end - start);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) {
            line.pop_back();
        }
        if (line.starts_with(kJavaKey)) {
            return line.substr(kJavaKey.size());
        }
        start = end + 1;
    }
    return std::nullopt;
}

}  // namespace

std::wstring bridgeRuntimeBuildFolder()
{
    return testProgramFolder() + L"\\bridge_runtime";
}

std::optional<std::string> bridgeRuntimeProblem()
{
    const std::wstring home = bridgeRuntimeBuildFolder();
    if (!exists(home + L"\\bin\\server\\jvm.dll")) {
        return "the bridge runtime was not built (target tarvo_bridge_runtime): no " +
               toUtf8(home) + "\\bin\\server\\jvm.dll";
    }
    std::optional<std::string> configuration = readFileBytes(home + L"\\lib\\bridge.cfg");
    if (!configuration) {
        return "the bridge runtime has no lib\\bridge.cfg";
    }
    std::optional<std::string> java = configuredJava(*configuration);
    if (!java || java->empty()) {
        return "the bridge runtime was built without a JDK 17: bridge.cfg names no java";
    }
    // The Linux path as Wine's drive Z: shows it.
    if (!exists(windowsPathFromBuildPath(*java))) {
        return "bridge.cfg names " + *java + ", which does not exist";
    }
    return std::nullopt;
}

std::wstring builtJarPath(std::wstring_view fileName)
{
    return testProgramFolder() + L"\\real_java\\" + std::wstring(fileName);
}

std::optional<std::string> builtJarsProblem(std::initializer_list<std::wstring_view> fileNames)
{
    for (std::wstring_view name : fileNames) {
        if (!exists(builtJarPath(name))) {
            return "the jar " + toUtf8(name) + " was not built (no JDK 17 at build time)";
        }
    }
    return std::nullopt;
}

std::optional<std::string> realJavaProblem(std::initializer_list<std::wstring_view> jarFileNames)
{
    std::optional<std::string> problem = bridgeRuntimeProblem();
    return problem ? problem : builtJarsProblem(jarFileNames);
}

bool installBuiltJar(const ProductSandbox& sandbox, std::wstring_view jarFileName,
                     std::wstring_view relativePath)
{
    std::wstring target = sandbox.pathOf(relativePath);
    return createFolderTree(folderOf(target)) &&
           CopyFileW(extendedLengthPath(builtJarPath(jarFileName)).c_str(),
                     extendedLengthPath(target).c_str(), FALSE) != FALSE;
}

std::optional<std::wstring> layOutBridgeRuntime(const std::wstring& home)
{
    if (!copyFolderTree(bridgeRuntimeBuildFolder(), home)) {
        return std::nullopt;
    }
    return home + L"\\bin\\server\\jvm.dll";
}

bool copyFolderTree(const std::wstring& from, const std::wstring& to)
{
    if (!createFolderTree(to)) {
        return false;
    }
    WIN32_FIND_DATAW entry;
    FindHandle search(FindFirstFileW(extendedLengthPath(from + L"\\*").c_str(), &entry));
    if (!search) {
        return false;
    }
    do {
        std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..") {
            continue;
        }
        std::wstring source = from + L"\\" + name;
        std::wstring target = to + L"\\" + name;
        bool copied = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0
                          ? copyFolderTree(source, target)
                          : CopyFileW(extendedLengthPath(source).c_str(),
                                      extendedLengthPath(target).c_str(), FALSE) != FALSE;
        if (!copied) {
            return false;
        }
    } while (FindNextFileW(search.get(), &entry));
    return true;
}

}  // namespace harness
