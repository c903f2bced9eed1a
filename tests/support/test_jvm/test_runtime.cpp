#include "support/test_jvm/test_runtime.h"

#include <windows.h>

#include "support/sandbox.h"
#include "support/test_jvm/argument_trace.h"
#include "support/test_paths.h"

namespace harness {

namespace {

// The helper is built into a folder of its own below bin, so that programs
// in bin do not find it beside themselves.
constexpr wchar_t kHelperBuildFolder[] = L"\\test_runtime_bin\\";
constexpr wchar_t kHelperFileName[] = L"test_jvm_helper.dll";

bool copyInto(const std::wstring& source, const std::wstring& target)
{
    return createFolderTree(folderOf(target)) &&
           CopyFileW(source.c_str(), target.c_str(), FALSE) != FALSE;
}

}  // namespace

std::wstring testJvmBuildFile(const std::wstring& buildBinFolder, TestJvm variant)
{
    switch (variant) {
        case TestJvm::withoutJniEntries:
            return buildBinFolder + L"\\test_jvm_no_create.dll";
        case TestJvm::withoutBootClassFinder:
            return buildBinFolder + L"\\test_jvm_no_boot_finder.dll";
        case TestJvm::withoutCreateJavaVm:
            return buildBinFolder + L"\\test_jvm_no_create_vm.dll";
        case TestJvm::withoutDefaultInitArgs:
            return buildBinFolder + L"\\test_jvm_no_default_args.dll";
        case TestJvm::complete:
            break;
    }
    return buildBinFolder + L"\\test_jvm.dll";
}

std::optional<std::wstring> layOutTestRuntime(const std::wstring& home, TestJvm variant,
                                              std::wstring_view jvmType,
                                              const std::wstring& buildBinFolder)
{
    std::wstring from = buildBinFolder.empty() ? testProgramFolder() : buildBinFolder;
    std::wstring bin = home + L"\\bin";
    std::wstring jvmLibrary = bin + L"\\" + std::wstring(jvmType) + L"\\jvm.dll";
    if (!copyInto(testJvmBuildFile(from, variant), jvmLibrary) ||
        !copyInto(from + L"\\test_java.dll", bin + L"\\java.dll") ||
        !copyInto(from + kHelperBuildFolder + kHelperFileName, bin + L"\\" + kHelperFileName)) {
        return std::nullopt;
    }
    return jvmLibrary;
}

std::optional<std::wstring> layOutTestSplashLibrary(const std::wstring& home,
                                                    TestSplashLibrary variant,
                                                    const std::wstring& buildBinFolder)
{
    std::wstring from = buildBinFolder.empty() ? testProgramFolder() : buildBinFolder;
    std::wstring built = variant == TestSplashLibrary::withoutSetFileJarName
                             ? L"\\test_splash_screen_no_jar_name.dll"
                             : L"\\test_splash_screen.dll";
    std::wstring library = home + L"\\bin\\splashscreen.dll";
    if (!copyInto(from + built, library)) {
        return std::nullopt;
    }
    return library;
}

std::vector<std::string> readTestJvmTrace(const std::wstring& traceFile)
{
    std::vector<std::string> lines;
    std::optional<std::string> bytes = readFileBytes(traceFile);
    if (!bytes) {
        return lines;
    }
    size_t start = 0;
    while (start < bytes->size()) {
        size_t end = bytes->find('\n', start);
        if (end == std::string::npos) {
            end = bytes->size();
        }
        lines.push_back(bytes->substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

namespace {

std::vector<std::wstring> wideTexts(const std::vector<std::u16string>& texts)
{
    std::vector<std::wstring> wide;
    for (const std::u16string& text : texts) {
        wide.emplace_back(text.begin(), text.end());
    }
    return wide;
}

}  // namespace

std::optional<std::vector<std::wstring>> mainArgumentsFromTrace(
    const std::vector<std::string>& trace)
{
    std::vector<std::vector<std::u16string>> arrays = test_jvm::readArgumentTraces(trace, "main");
    if (arrays.empty()) {
        return std::nullopt;
    }
    return wideTexts(arrays.front());
}

std::vector<std::vector<std::wstring>> secondaryArgumentsFromTrace(
    const std::vector<std::string>& trace, std::string_view form)
{
    std::vector<std::vector<std::wstring>> calls;
    for (const auto& array :
         test_jvm::readArgumentTraces(trace, "secondaryMain " + std::string(form))) {
        calls.push_back(wideTexts(array));
    }
    return calls;
}

}  // namespace harness
