#include "config/module_path.h"

#include <vector>

#include "resources/resource_ids.h"
#include "ui/error_reporter.h"

namespace {

// The longest path the system can hand out, plus its terminating zero.
constexpr DWORD longestPathBuffer = 32768;

}  // namespace

std::optional<std::wstring> modulePathThrough(HWND owner, ModuleFileNameReader readModuleFileName,
                                              ErrorWithCodeShower showError)
{
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD size = static_cast<DWORD>(buffer.size());
        DWORD length = readModuleFileName(nullptr, buffer.data(), size);
        if (length == 0) {
            DWORD error = GetLastError();
            showError(owner, ErrorReporter::loadText(IDS_WINDOWS_ERROR),
                      ErrorReporter::loadText(IDS_MODULE_PATH_NOT_FOUND),
                      static_cast<std::int32_t>(error));
            return std::nullopt;
        }
        // A result that fills the whole buffer is a cut path: an executable
        // deep in a long folder must not find its settings under a cut name.
        if (length < size || size >= longestPathBuffer) {
            return std::wstring(buffer.data(), length < size ? length : size - 1);
        }
        buffer.assign(size * 2, L'\0');
    }
}

std::optional<std::wstring> modulePath(HWND owner)
{
    return modulePathThrough(owner, GetModuleFileNameW, ErrorReporter::showErrorWithCode);
}
