#include "vm/vm_option_text.h"

#include "config/setting_forms.h"
#include "support/folder_of_path.h"
#include "support/runtime_bin_folder.h"

namespace {

std::wstring_view withoutLastComponent(std::wstring_view path)
{
    size_t lastBackslash = path.rfind(L'\\');
    return lastBackslash == std::wstring_view::npos ? path : path.substr(0, lastBackslash);
}

void appendWithSeparator(std::wstring& text, std::wstring_view list)
{
    text += list;
    if (!list.empty() && list.back() != L';') {
        text += L';';
    }
}

}  // namespace

std::wstring runtimeHomeFolder(std::wstring_view jvmLibraryPath)
{
    return std::wstring(withoutLastComponent(runtimeBinFolder(jvmLibraryPath)));
}

std::wstring libraryPathText(std::wstring_view libraryPath, std::wstring_view executableFolder,
                             std::wstring_view jvmLibraryPath)
{
    std::wstring text;
    appendWithSeparator(text, libraryPath);
    text += executableFolder;
    text += L";.;%Path%;";
    text += folderOfPath(runtimeBinFolder(jvmLibraryPath), FolderForm::withTrailingBackslash);
    text += L"lib";
    return text;
}

std::wstring searchPathText(std::wstring_view systemPath, std::wstring_view jvmLibraryPath)
{
    std::wstring text;
    appendWithSeparator(text, systemPath);
    text += L"%Path%;";
    text += runtimeBinFolder(jvmLibraryPath);
    return text;
}

bool isSearchedClassPathEntry(std::wstring_view entry)
{
    return entry.find(L'*') != std::wstring_view::npos || !isAbsoluteSettingPath(entry);
}

std::wstring classPathSearchPattern(std::wstring_view entry, std::wstring_view executableFolder)
{
    return settingPathUnder(entry, executableFolder);
}

std::wstring searchResultFolder(std::wstring_view pattern)
{
    size_t lastSeparator = pattern.find_last_of(L"\\/");
    if (lastSeparator == std::wstring_view::npos) {
        return {};
    }
    return std::wstring(pattern.substr(0, lastSeparator));
}

bool isFolderSelfOrParent(std::wstring_view name)
{
    return name == L"." || name == L"..";
}

std::wstring classPathOption(std::wstring_view classPath)
{
    std::wstring option = L"-Djava.class.path=";
    option += classPath;
    return option;
}
