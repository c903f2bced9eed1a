// libFuzzer harness for the path rules: the long form of a path ends with the
// path itself, a path's parts put back together give the path, the folder
// walk creates only folders above the file, from the root down, and
// splitting at a delimiter and joining again gives the text.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/settings_path_rules.h"
#include "fuzz/fuzz_input.h"
#include "support/folder_of_path.h"
#include "support/path_rules.h"
#include "support/split_text.h"

namespace {

std::wstring joined(const std::vector<std::wstring>& pieces, std::wstring_view delimiter)
{
    std::wstring text;
    for (std::size_t index = 0; index < pieces.size(); ++index) {
        text += (index > 0 ? std::wstring(delimiter) : L"") + pieces[index];
    }
    return text;
}

void checkLongPath(std::wstring_view path)
{
    std::optional<std::wstring> longPath = toLongPath(path);
    FUZZ_CHECK(longPath.has_value() == (path.size() < longPathLimit));
    if (!longPath) {
        return;
    }
    if (path.size() < maxPathLength) {
        FUZZ_CHECK(*longPath == path);
        return;
    }
    FUZZ_CHECK(longPath->starts_with(localLongPathPrefix));
    // A full path keeps its kind; a relative one has no long form of its own.
    bool onDrive = path.size() >= 3 && path[1] == L':' && path[2] == L'\\';
    if (onDrive || isUncPath(path)) {
        FUZZ_CHECK(isUncPath(*longPath) == isUncPath(path));
    }
    if (isUncPath(path)) {
        FUZZ_CHECK(longPath->starts_with(networkLongPathPrefix));
        FUZZ_CHECK(longPath->ends_with(path.substr(2)));
    } else {
        FUZZ_CHECK(longPath->ends_with(path));
    }
    // Already long: nothing more is added.
    FUZZ_CHECK(toLongPath(*longPath) == longPath || longPath->size() >= longPathLimit);
}

void checkComponents(std::wstring_view path)
{
    std::vector<std::wstring> components = splitPathComponents(path);
    std::wstring together = joined(components, L"\\");
    // The backslash of a path that starts at the drive root, and one at the
    // end, are the only ones the parts do not show.
    bool rebuilt = path == together || path == L"\\" + together || path == together + L"\\" ||
                   path == L"\\" + together + L"\\";
    FUZZ_CHECK(rebuilt);
    std::size_t backslashes = 0;
    for (wchar_t unit : path) {
        backslashes += unit == L'\\';
    }
    FUZZ_CHECK(components.size() <= backslashes + 1);
}

void checkFolderPart(std::wstring_view path)
{
    std::wstring folder = folderPartOf(path);
    FUZZ_CHECK(path.starts_with(folder));
    if (folder.size() < path.size()) {
        FUZZ_CHECK(path[folder.size()] == L'\\' || path[folder.size()] == L'/');
        FUZZ_CHECK(path.substr(folder.size() + 1).find_first_of(L"\\/") == std::wstring_view::npos);
    } else {
        FUZZ_CHECK(path.find_first_of(L"\\/") == std::wstring_view::npos);
    }
    // The folder as the launcher names it: up to the last backslash.
    std::size_t backslash = path.rfind(L'\\');
    std::wstring expected =
        backslash == std::wstring_view::npos ? L"" : std::wstring(path.substr(0, backslash));
    FUZZ_CHECK(folderOfPath(path, FolderForm::withoutTrailingBackslash) == expected);
    FUZZ_CHECK(folderOfPath(path, FolderForm::withTrailingBackslash) ==
               (backslash == std::wstring_view::npos ? L"" : expected + L"\\"));
}

// The walk against folders that answer with errors from the input.
void checkFolderWalk(std::wstring_view path, FuzzInput& answers)
{
    std::wstring normalised(path);
    if (!path.starts_with(localLongPathPrefix)) {
        for (wchar_t& unit : normalised) {
            unit = unit == L'/' ? L'\\' : unit;
        }
    }
    std::vector<std::wstring> created;
    std::vector<std::wstring> asked;
    std::vector<std::uint32_t> errors;
    std::size_t removals = 0;
    FolderCreator create = [&](const std::wstring& folder) {
        const std::uint32_t choices[] = {0, 0, alreadyExistsError, 5, 3};
        std::uint32_t error = choices[answers.byte() % 5];
        // Each folder lies below the one asked for before, inside the path.
        FUZZ_CHECK(asked.empty() || folder.starts_with(asked.back() + L"\\"));
        FUZZ_CHECK(folder.size() < normalised.size() && normalised.starts_with(folder));
        asked.push_back(folder);
        errors.push_back(error);
        if (error == 0) {
            created.push_back(folder);
        }
        return error;
    };
    FolderRemover remove = [&](const std::wstring& folder) {
        // Only a folder this walk made, the last one before the failure.
        ++removals;
        FUZZ_CHECK(!created.empty() && created.back() == folder);
        FUZZ_CHECK(asked.size() >= 2 && asked[asked.size() - 2] == folder);
    };
    std::uint32_t result = createFolderChain(path, create, remove);
    FUZZ_CHECK(removals <= 1);
    FUZZ_CHECK(asked.size() <= splitPathComponents(normalised).size());
    FUZZ_CHECK(result == 0 || (!errors.empty() && result != alreadyExistsError));
    if (!errors.empty() && result != 0) {
        bool answered = false;
        for (std::uint32_t error : errors) {
            answered = answered || error == result;
        }
        FUZZ_CHECK(answered);
    }
}

void checkSplitText(std::wstring_view text, std::wstring_view delimiter)
{
    std::vector<std::wstring> pieces = splitText(text, delimiter);
    FUZZ_CHECK(text.empty() == pieces.empty());
    std::wstring together = joined(pieces, delimiter);
    FUZZ_CHECK(text == together ||
               (!delimiter.empty() && text == together + std::wstring(delimiter)));
}

// The settings paths follow the executable's path; a folder name never holds
// a character a folder name cannot hold.
void checkSettingsPaths(std::wstring_view path)
{
    if (std::optional<std::wstring> settings = settingsFilePathFor(path)) {
        FUZZ_CHECK(settings->ends_with(L".ini"));
        FUZZ_CHECK(path.starts_with(settings->substr(0, settings->size() - 3)));
    } else {
        FUZZ_CHECK(path.find(L'.') == std::wstring_view::npos);
    }
    std::wstring folder = productFolderName(path);
    FUZZ_CHECK(folder.size() <= path.size());
    FUZZ_CHECK(folder.find_first_of(L"\\?\"|><:/*") == std::wstring::npos);
    std::wstring base = fileBaseName(path);
    FUZZ_CHECK(base.find(L'\\') == std::wstring::npos && base.size() <= path.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    std::size_t repeat = input.byte() % 4;
    std::wstring path = input.rest();
    // Long paths are rare in a small input: the same path repeated crosses MAX_PATH.
    std::wstring longer = path;
    for (std::size_t count = 0; count < repeat * 40 && !path.empty(); ++count) {
        longer += path;
    }
    checkLongPath(path);
    checkLongPath(longer);
    checkComponents(path);
    checkFolderPart(path);
    FuzzInput answers(data, size);
    checkFolderWalk(path, answers);
    checkSplitText(path, L";");
    checkSplitText(path, L"\r\n");
    checkSplitText(path, path.substr(0, repeat));
    checkSettingsPaths(path);
    return 0;
}
