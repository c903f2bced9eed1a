#include "splash/splash_rules.h"

#include <algorithm>
#include <limits>

#include "config/setting_forms.h"

namespace {

constexpr std::int64_t kLargestExtent = std::numeric_limits<int>::max();

// Half the room the screen leaves around the picture; C++ division rounds
// toward zero, as the placement asks.
int centredOffset(int screenExtent, std::int64_t pictureExtent)
{
    return static_cast<int>((static_cast<std::int64_t>(screenExtent) - pictureExtent) / 2);
}

}  // namespace

SplashPlacement centredPlacement(int screenWidth, int screenHeight, std::uint32_t pictureWidth,
                                 std::uint32_t pictureHeight)
{
    std::int64_t width = std::min<std::int64_t>(pictureWidth, kLargestExtent);
    std::int64_t height = std::min<std::int64_t>(pictureHeight, kLargestExtent);
    SplashPlacement placement;
    placement.x = centredOffset(screenWidth, width);
    placement.y = centredOffset(screenHeight, height);
    placement.width = static_cast<int>(width);
    placement.height = static_cast<int>(height);
    return placement;
}

bool shadowWanted(std::wstring_view settingText)
{
    return settingText == L"true";
}

bool nativeSplashPreferred(std::wstring_view settingText)
{
    return isYesIgnoringCase(settingText);
}

std::wstring splashLibraryPathIn(std::wstring_view binFolder)
{
    if (binFolder.empty()) {
        return {};
    }
    std::wstring path(binFolder);
    if (path.back() != L'\\' && path.back() != L'/') {
        path += L'\\';
    }
    return path + L"splashscreen.dll";
}

std::optional<std::wstring> folderBeforeLastBackslash(std::wstring_view path)
{
    size_t backslash = path.rfind(L'\\');
    if (backslash == std::wstring_view::npos) {
        return std::nullopt;
    }
    return std::wstring(path.substr(0, backslash));
}
