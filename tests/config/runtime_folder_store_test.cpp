#include "config/runtime_folder_store.h"

#include <gtest/gtest.h>

#include "config/settings_paths.h"
#include "config_test_helpers.h"

namespace {

ProductPaths thisProgram()
{
    return findProductPaths(nullptr).value();
}

std::wstring withoutExtension(const std::wstring& path)
{
    return path.substr(0, path.rfind(L'.'));
}

std::wstring baseName(const std::wstring& path)
{
    std::wstring name = path.substr(path.rfind(L'\\') + 1);
    return name.substr(0, name.rfind(L'.'));
}

std::wstring readJrePath(const std::wstring& file)
{
    wchar_t value[512] = {};
    GetPrivateProfileStringW(L"Java Runtime Environment", L"JRE Path", L"", value, 512,
                             file.c_str());
    return value;
}

}  // namespace

TEST(ChosenRuntimeFolder, ApplicationWritesThePerUserFilesOnly)
{
    TempFolder appData;
    TempFolder pairFolder;
    EnvironmentVariableGuard appDataVariable(L"APPDATA", appData.path().c_str());
    LauncherSettings settings;
    settings.productName = L"Acme: Tools?";
    settings.productCode = L"AT-1";
    settings.pairProduct = pairFolder.file(L"acme32.exe");

    std::vector<std::wstring> targets = chosenRuntimeTargets(thisProgram(), settings);
    std::wstring userFolder = appData.path() + L"\\Acme Tools\\AT-1\\";
    ASSERT_EQ(targets.size(), 2u);
    EXPECT_EQ(targets[0], userFolder + baseName(testProgramPath()) + L".ini");
    EXPECT_EQ(targets[1], userFolder + L"acme32.ini");

    storeChosenRuntimeFolder(thisProgram(), settings, L"D:\\Java\\jdk-17\\");
    EXPECT_EQ(readJrePath(targets[0]), L"D:\\Java\\jdk-17\\");
    EXPECT_EQ(readJrePath(targets[1]), L"D:\\Java\\jdk-17\\");
    // The settings file beside the executable is left alone.
    EXPECT_FALSE(fileExists(withoutExtension(testProgramPath()) + L".ini"));
}

TEST(ChosenRuntimeFolder, ServiceWritesTheSettingsFilesBesideTheExecutables)
{
    TempFolder pairFolder;
    LauncherSettings settings;
    settings.isService = true;
    settings.pairProduct = pairFolder.file(L"acme32.exe");
    std::wstring ownFile = withoutExtension(testProgramPath()) + L".ini";

    std::vector<std::wstring> targets = chosenRuntimeTargets(thisProgram(), settings);
    ASSERT_EQ(targets.size(), 2u);
    EXPECT_EQ(targets[0], ownFile);
    EXPECT_EQ(targets[1], pairFolder.file(L"acme32.ini"));

    storeChosenRuntimeFolder(thisProgram(), settings, L"C:\\Java\\jre\\");
    EXPECT_EQ(readJrePath(ownFile), L"C:\\Java\\jre\\");
    EXPECT_EQ(readJrePath(targets[1]), L"C:\\Java\\jre\\");
    DeleteFileW(ownFile.c_str());
}

// A service's current folder is the Windows folder: the pair's file must not
// land there, nor in whatever folder the caller made current.
TEST(ChosenRuntimeFolder, RelativePairProductIsTakenUnderTheExecutablesFolder)
{
    TempFolder appData;
    TempFolder elsewhere;
    EnvironmentVariableGuard appDataVariable(L"APPDATA", appData.path().c_str());
    wchar_t previous[MAX_PATH] = {};
    ASSERT_NE(GetCurrentDirectoryW(MAX_PATH, previous), 0u);
    ASSERT_TRUE(SetCurrentDirectoryW(elsewhere.path().c_str()));
    LauncherSettings settings;
    settings.isService = true;
    settings.pairProduct = L"pair\\acme32.exe";

    std::vector<std::wstring> targets = chosenRuntimeTargets(thisProgram(), settings);
    SetCurrentDirectoryW(previous);
    ASSERT_EQ(targets.size(), 2u);
    EXPECT_EQ(targets[1], thisProgram().executableFolder + L"\\pair\\acme32.ini");
}

TEST(ChosenRuntimeFolder, NoPairProductMeansOneTarget)
{
    TempFolder appData;
    EnvironmentVariableGuard appDataVariable(L"APPDATA", appData.path().c_str());
    LauncherSettings settings;
    settings.productName = L"Acme";
    settings.productCode = L"1";
    EXPECT_EQ(chosenRuntimeTargets(thisProgram(), settings).size(), 1u);
    settings.isService = true;
    EXPECT_EQ(chosenRuntimeTargets(thisProgram(), settings).size(), 1u);
}

TEST(ChosenRuntimeFolder, WithoutAnAbsoluteApplicationDataNothingIsWritten)
{
    TempFolder pairFolder;
    LauncherSettings settings;
    settings.productName = L"Acme";
    settings.productCode = L"AT-1";
    settings.pairProduct = pairFolder.file(L"acme32.exe");
    for (const wchar_t* value : {static_cast<const wchar_t*>(nullptr), L"", L"AppData"}) {
        EnvironmentVariableGuard appData(L"APPDATA", value);
        EXPECT_TRUE(chosenRuntimeTargets(thisProgram(), settings).empty());
        storeChosenRuntimeFolder(thisProgram(), settings, L"D:\\Java\\jdk-17\\");
    }
    EXPECT_FALSE(folderExists(L"\\Acme"));
    EXPECT_FALSE(folderExists(L"AppData"));
}

TEST(ChosenRuntimeFolder, FolderNameOutsideTheAnsiCodePageIsStoredWhole)
{
    // Stored as "?" it would be asked for again at every start.
    TempFolder appData;
    EnvironmentVariableGuard appDataVariable(L"APPDATA", appData.path().c_str());
    LauncherSettings settings;
    settings.productName = L"Acme";
    settings.productCode = L"AT-1";
    const std::wstring folder = L"D:\\\u0141\u00f3d\u017a\\\u4e2d\u6587 jdk\\";
    storeChosenRuntimeFolder(thisProgram(), settings, folder);
    std::vector<std::wstring> targets = chosenRuntimeTargets(thisProgram(), settings);
    ASSERT_EQ(targets.size(), 1u);
    EXPECT_EQ(readJrePath(targets[0]), folder);
}
