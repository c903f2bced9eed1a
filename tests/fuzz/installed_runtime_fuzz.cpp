// libFuzzer harness for what the installed-runtime search reads from places
// anybody may write: a "release" file's text, a folder an installer
// registered and a PATH entry. A version is found only on a JAVA_VERSION line
// within the read limit, and CR LF reads as LF; a home is a full path ending
// in one backslash that reads back as itself; a PATH entry's home is its
// "bin" folder's parent.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "config/runtime_version.h"
#include "fuzz/fuzz_input.h"
#include "runtime/installed_runtime_rules.h"

namespace {

bool operator==(const RuntimeVersion& left, const RuntimeVersion& right)
{
    return left.partCount == right.partCount && left.parts == right.parts;
}

std::string withLineFeedsOnly(std::string_view text)
{
    std::string result;
    for (std::size_t index = 0; index < text.size(); ++index) {
        if (text[index] == '\r' && index + 1 < text.size() && text[index + 1] == '\n') {
            continue;
        }
        result += text[index];
    }
    return result;
}

void checkReleaseText(std::string_view text)
{
    const std::optional<RuntimeVersion> version = versionFromReleaseText(text);
    if (version) {
        FUZZ_CHECK(text.substr(0, kReleaseFileReadLimit).find("JAVA_VERSION") !=
                   std::string_view::npos);
        FUZZ_CHECK(version->partCount >= 1);
    }
    // Within the limit, a CR before LF changes nothing.
    if (text.size() < kReleaseFileReadLimit / 2) {
        const std::optional<RuntimeVersion> again = versionFromReleaseText(withLineFeedsOnly(text));
        FUZZ_CHECK(version.has_value() == again.has_value());
        FUZZ_CHECK(!version || *version == *again);
    }
    // What lies beyond the limit is never read.
    std::string padded(kReleaseFileReadLimit, '\n');
    padded += text;
    FUZZ_CHECK(!versionFromReleaseText(padded));
}

void checkHome(std::wstring_view folder, const std::optional<std::wstring>& home)
{
    if (!home) {
        return;
    }
    FUZZ_CHECK(home->size() >= 3 && home->back() == L'\\');
    FUZZ_CHECK(home->find(L'\0') == std::wstring::npos);
    FUZZ_CHECK(home->size() <= folder.size() + 1);
    // A home is a folder in its own right: registering it again gives itself.
    const std::optional<std::wstring> again = homeFromRegisteredFolder(*home);
    FUZZ_CHECK(again && *again == *home);
}

void checkFolders(std::wstring_view text)
{
    checkHome(text, homeFromRegisteredFolder(text));
    const std::optional<std::wstring> fromPath = homeFromPathFolder(text);
    checkHome(text, fromPath);
    if (fromPath) {
        // The entry named the home's "bin" folder.
        const std::optional<std::wstring> binAgain = homeFromPathFolder(*fromPath + L"bin");
        FUZZ_CHECK(binAgain && isSameHome(*binAgain, *fromPath));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    if (input.byte() % 2 == 0) {
        checkReleaseText(input.restBytes());
    } else {
        checkFolders(input.rest());
    }
    return 0;
}
