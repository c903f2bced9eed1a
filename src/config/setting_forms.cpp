#include "config/setting_forms.h"

#include <algorithm>

namespace {

wchar_t asciiLower(wchar_t c)
{
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

struct VendorFlags {
    const wchar_t* word;
    bool sunAllowed;
    bool sunFavored;
    bool jrockitAllowed;
    bool jrockitFavored;
    bool ibmAllowed;
    bool ibmFavored;
};

// Looked up in this order; the first match wins.
constexpr VendorFlags vendorTable[] = {
    {L"jrockit", false, false, true, true, false, false},
    {L"ibm", false, false, false, false, true, true},
    {L"favor_sun", true, true, true, false, true, false},
    {L"favor_jrockit", true, false, true, true, true, false},
    {L"favor_ibm", true, false, true, false, true, true},
    {L"any", true, false, true, false, true, false},
};

}  // namespace

bool equalsIgnoringCase(std::wstring_view left, std::wstring_view right)
{
    return std::equal(left.begin(), left.end(), right.begin(), right.end(),
                      [](wchar_t a, wchar_t b) { return asciiLower(a) == asciiLower(b); });
}

bool isYesIgnoringCase(std::wstring_view text)
{
    return equalsIgnoringCase(text, L"Yes");
}

bool isExactlyYes(std::wstring_view text)
{
    return text == L"yes";
}

int jvmTypeFromText(std::wstring_view text)
{
    if (text == L"server") {
        return kServerJvmOnly;
    }
    if (text == L"favor_server") {
        return kServerJvmFavored;
    }
    return kAnyJvm;
}

void applyJvmSource(std::wstring_view text, LauncherSettings& settings)
{
    if (text.empty()) {
        // favorMode keeps its value: nothing asked to narrow the choice.
        settings.jdkWanted = true;
        settings.jreWanted = true;
    } else if (text == L"favor_JRE") {
        settings.favorMode = true;
        settings.jdkWanted = false;
        settings.jreWanted = true;
    } else if (text == L"favor_JDK") {
        settings.favorMode = true;
        settings.jdkWanted = true;
        settings.jreWanted = false;
    } else if (text == L"only_JRE") {
        settings.favorMode = false;
        settings.jdkWanted = false;
        settings.jreWanted = true;
    } else if (text == L"only_JDK") {
        settings.favorMode = false;
        settings.jdkWanted = true;
        settings.jreWanted = false;
    } else {
        settings.favorMode = false;
        settings.jdkWanted = false;
        settings.jreWanted = false;
    }
}

void applyVmProvider(std::wstring_view text, LauncherSettings& settings)
{
    if (text.empty()) {
        return;
    }
    for (const VendorFlags& row : vendorTable) {
        if (equalsIgnoringCase(text, row.word)) {
            settings.sunAllowed = row.sunAllowed;
            settings.sunFavored = row.sunFavored;
            settings.jrockitAllowed = row.jrockitAllowed;
            settings.jrockitFavored = row.jrockitFavored;
            settings.ibmAllowed = row.ibmAllowed;
            settings.ibmFavored = row.ibmFavored;
            return;
        }
    }
}

bool isAbsoluteSettingPath(std::wstring_view path)
{
    return path.size() >= 2 && ((path[0] == L'\\' && path[1] == L'\\') || path[1] == L':');
}

std::wstring settingPathUnder(std::wstring_view path, std::wstring_view executableFolder)
{
    if (isAbsoluteSettingPath(path)) {
        return std::wstring(path);
    }
    std::wstring underFolder(executableFolder);
    underFolder += L'\\';
    underFolder += path;
    return underFolder;
}

std::wstring resolveJrePath(std::wstring_view value, std::wstring_view executableFolder)
{
    return value.empty() ? std::wstring() : settingPathUnder(value, executableFolder);
}

std::wstring resolvePairProduct(std::wstring_view value, std::wstring_view executableFolder)
{
    // The same rule: the two are paths beside the product alike.
    return resolveJrePath(value, executableFolder);
}

std::wstring mainClassFromText(std::wstring_view text)
{
    std::wstring name(text);
    std::replace(name.begin(), name.end(), L'.', L'/');
    return name;
}

RuntimeVersion maximumVersionSetting(std::wstring_view text)
{
    // Read literally, an empty upper bound would be 0.0.0.0 and shut out every
    // installed runtime, although the message to the user would call it "no
    // maximum". A product that leaves the key out means no limit.
    if (text.empty()) {
        return maximumVersionFromText(L"any");
    }
    return maximumVersionFromText(text);
}
