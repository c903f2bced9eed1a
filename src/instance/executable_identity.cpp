#include "instance/executable_identity.h"

#include "support/handle_owners.h"

namespace {

// GetLongPathNameW, whose answer may grow between the two calls when another
// process renames a folder on the way: asked again a few times.
std::wstring longPathName(const std::wstring& path)
{
    DWORD size = GetLongPathNameW(path.c_str(), nullptr, 0);
    for (int attempt = 0; attempt < 3 && size != 0; ++attempt) {
        std::wstring buffer(size, L'\0');
        const DWORD length = GetLongPathNameW(path.c_str(), buffer.data(), size);
        if (length == 0) {
            break;
        }
        if (length < size) {
            buffer.resize(length);
            return buffer;
        }
        size = length;
    }
    return path;
}

// Upper case by the invariant table, one unit for one unit: no language's
// rules change a name here.
std::wstring upperCase(const std::wstring& text)
{
    if (text.empty()) {
        return text;
    }
    std::wstring upper(text.size(), L'\0');
    const int length = LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, text.c_str(),
                                     static_cast<int>(text.size()), upper.data(),
                                     static_cast<int>(upper.size()), nullptr, nullptr, 0);
    if (length != static_cast<int>(text.size())) {
        return text;
    }
    return upper;
}

}  // namespace

std::wstring normalizedExecutablePath(std::wstring_view path)
{
    return upperCase(longPathName(std::wstring(path)));
}

bool processRunsExecutable(DWORD processId, const std::wstring& normalizedPath)
{
    KernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process) {
        return false;
    }
    // The image name is read into a buffer as long as the longest path.
    std::wstring image(32768, L'\0');
    DWORD length = static_cast<DWORD>(image.size());
    if (!QueryFullProcessImageNameW(process.get(), 0, image.data(), &length)) {
        return false;
    }
    image.resize(length);
    return normalizedExecutablePath(image) == normalizedPath;
}
