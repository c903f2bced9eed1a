#include "runtime/jvm_library_probe.h"

#include <gtest/gtest.h>

#include "config/launcher_settings.h"
#include "runtime_folders.h"

namespace {

std::wstring libraryPath(const std::optional<JvmLibraryLocation>& library)
{
    return library ? library->path : L"(nothing)";
}

}  // namespace

class JvmLibraryProbe : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folders.created()); }
    RuntimeFolders folders;
};

TEST_F(JvmLibraryProbe, JvmTypeChoosesBetweenClientAndServer)
{
    const std::wstring both = folders.makeHome(L"both", {kClientJvmFile, kServerJvmFile}) + L"\\";
    const std::wstring clientOnly = folders.makeHome(L"client", {kClientJvmFile}) + L"\\";

    std::optional<JvmLibraryLocation> library = findJvmLibrary(both, kAnyJvm);
    EXPECT_EQ(libraryPath(library), both + L"bin\\client\\jvm.dll");
    EXPECT_FALSE(library && library->isServerJvm);

    library = findJvmLibrary(both, kServerJvmFavored);
    EXPECT_EQ(libraryPath(library), both + L"bin\\server\\jvm.dll");
    EXPECT_TRUE(library && library->isServerJvm);

    library = findJvmLibrary(both, kServerJvmOnly);
    EXPECT_EQ(libraryPath(library), both + L"bin\\server\\jvm.dll");
    EXPECT_TRUE(library && library->isServerJvm);

    // A server-only policy accepts nothing else; favouring the server does.
    EXPECT_EQ(findJvmLibrary(clientOnly, kServerJvmOnly), std::nullopt);
    library = findJvmLibrary(clientOnly, kServerJvmFavored);
    EXPECT_EQ(libraryPath(library), clientOnly + L"bin\\client\\jvm.dll");
    EXPECT_FALSE(library && library->isServerJvm);
}

TEST_F(JvmLibraryProbe, OlderLibraryFoldersAreTriedInTheirOrder)
{
    const std::wstring classic =
        folders.makeHome(L"classic", {L"bin\\hotspot\\jvm.dll", L"bin\\classic\\jvm.dll",
                                      L"bin\\jrockit\\jvm.dll"}) +
        L"\\";
    EXPECT_EQ(libraryPath(findJvmLibrary(classic, kAnyJvm)), classic + L"bin\\classic\\jvm.dll");

    const std::wstring hotspot =
        folders.makeHome(L"hotspot", {L"bin\\hotspot\\jvm.dll", L"bin\\jrockit\\jvm.dll"}) + L"\\";
    EXPECT_EQ(libraryPath(findJvmLibrary(hotspot, kAnyJvm)), hotspot + L"bin\\hotspot\\jvm.dll");

    const std::wstring serverAndJrockit =
        folders.makeHome(L"server", {L"bin\\jrockit\\jvm.dll", kServerJvmFile}) + L"\\";
    std::optional<JvmLibraryLocation> library = findJvmLibrary(serverAndJrockit, kAnyJvm);
    EXPECT_EQ(libraryPath(library), serverAndJrockit + L"bin\\server\\jvm.dll");
    EXPECT_TRUE(library && library->isServerJvm);

    const std::wstring jrockit = folders.makeHome(L"jrockit", {L"bin\\jrockit\\jvm.dll"}) + L"\\";
    library = findJvmLibrary(jrockit, kServerJvmFavored);
    EXPECT_EQ(libraryPath(library), jrockit + L"bin\\jrockit\\jvm.dll");
    EXPECT_FALSE(library && library->isServerJvm);
    EXPECT_EQ(findJvmLibrary(jrockit, kServerJvmOnly), std::nullopt);
}

TEST_F(JvmLibraryProbe, NothingFoundWhereNoLibraryIsAFile)
{
    const std::wstring empty = folders.makeHome(L"empty", {kJavaDllFile}) + L"\\";
    EXPECT_EQ(findJvmLibrary(empty, kAnyJvm), std::nullopt);
    EXPECT_EQ(findJvmLibrary(folders.pathOf(L"missing\\"), kAnyJvm), std::nullopt);

    // A folder that carries the library's name is passed over for the next
    // candidate instead of being handed to the loader.
    ASSERT_TRUE(folders.sandbox().createFolder(L"folders\\bin\\client\\jvm.dll"));
    const std::wstring misleading = folders.makeHome(L"folders", {kServerJvmFile}) + L"\\";
    EXPECT_EQ(libraryPath(findJvmLibrary(misleading, kAnyJvm)),
              misleading + L"bin\\server\\jvm.dll");

    EXPECT_EQ(findJvmLibrary(L"", kAnyJvm), std::nullopt);
}

TEST_F(JvmLibraryProbe, HomeWithoutTrailingBackslashOrBeyondMaxPathIsProbed)
{
    const std::wstring home = folders.makeHome(L"plain", {kClientJvmFile});
    EXPECT_EQ(libraryPath(findJvmLibrary(home, kAnyJvm)), home + L"\\bin\\client\\jvm.dll");

    std::wstring deepName = L"deep";
    while (folders.pathOf(deepName).size() < 300) {
        deepName += L"\\runtime-folder-level";
    }
    const std::wstring deep = folders.makeHome(deepName, {kJavaDllFile, kServerJvmFile}) + L"\\";
    EXPECT_EQ(libraryPath(findJvmLibrary(deep, kAnyJvm)), deep + L"bin\\server\\jvm.dll");
    EXPECT_TRUE(hasJavaDll(deep));
}

TEST_F(JvmLibraryProbe, JavaDllMustBeAFileInTheBinFolder)
{
    const std::wstring runtime = folders.makeHome(L"runtime", {kJavaDllFile, kClientJvmFile});
    EXPECT_TRUE(hasJavaDll(runtime + L"\\"));
    EXPECT_TRUE(hasJavaDll(runtime));

    // A JAVA_HOME whose bin lacks java.dll is no runtime home, JVM or not.
    const std::wstring jvmOnly = folders.makeHome(L"jvm-only", {kClientJvmFile, L"java.dll"});
    EXPECT_FALSE(hasJavaDll(jvmOnly + L"\\"));

    ASSERT_TRUE(folders.sandbox().createFolder(L"dir\\bin\\java.dll"));
    EXPECT_FALSE(hasJavaDll(folders.pathOf(L"dir\\")));
    EXPECT_FALSE(hasJavaDll(folders.pathOf(L"missing\\")));
    EXPECT_FALSE(hasJavaDll(L""));
}
