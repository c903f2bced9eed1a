#include "vm/vm_option_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr const wchar_t* serverJvm = L"C:\\Java\\jre\\bin\\server\\jvm.dll";

}  // namespace

TEST(RuntimeHomeFolder, ThreeComponentsAboveTheLibrary)
{
    EXPECT_EQ(runtimeHomeFolder(serverJvm), L"C:\\Java\\jre");
    EXPECT_EQ(runtimeHomeFolder(L"\\\\server\\share\\jdk\\bin\\client\\jvm.dll"),
              L"\\\\server\\share\\jdk");
    // Removals stop where no backslash is left.
    EXPECT_EQ(runtimeHomeFolder(L"bin\\server\\jvm.dll"), L"bin");
    EXPECT_EQ(runtimeHomeFolder(L"jvm.dll"), L"jvm.dll");
}

TEST(LibraryPathText, ProductPathThenExecutableFolderCurrentFolderPathAndRuntimeLib)
{
    EXPECT_EQ(libraryPathText(L"C:\\native", L"C:\\App\\", serverJvm),
              L"C:\\native;C:\\App\\;.;%Path%;C:\\Java\\jre\\lib");
    // A library path that ends in ";" gets no second one.
    EXPECT_EQ(libraryPathText(L"C:\\native;D:\\more;", L"C:\\App\\", serverJvm),
              L"C:\\native;D:\\more;C:\\App\\;.;%Path%;C:\\Java\\jre\\lib");
    EXPECT_EQ(libraryPathText(L"%TARVO_JVM_HOME%\\native", L"C:\\", serverJvm),
              L"%TARVO_JVM_HOME%\\native;C:\\;.;%Path%;C:\\Java\\jre\\lib");
}

TEST(SearchPathText, SystemPathFirstRuntimeBinFolderLast)
{
    EXPECT_EQ(searchPathText(L"C:\\tools", serverJvm), L"C:\\tools;%Path%;C:\\Java\\jre\\bin");
    EXPECT_EQ(searchPathText(L"C:\\tools;", serverJvm), L"C:\\tools;%Path%;C:\\Java\\jre\\bin");
    EXPECT_EQ(searchPathText(L"", serverJvm), L"%Path%;C:\\Java\\jre\\bin");
}

TEST(IsSearchedClassPathEntry, WildcardsAndRelativeEntriesAreSearched)
{
    for (const wchar_t* entry :
         {L"lib\\*.jar", L"app.jar", L"\\app.jar", L"", L"a", L"D:\\libs\\*.jar",
          L"\\\\server\\share\\*", L"..\\shared\\x.jar", L"D*"}) {
        EXPECT_TRUE(isSearchedClassPathEntry(entry)) << entry;
    }
    for (const wchar_t* entry :
         {L"D:\\ext\\x.jar", L"\\\\server\\share\\x.jar", L"D:", L"d:x.jar"}) {
        EXPECT_FALSE(isSearchedClassPathEntry(entry)) << entry;
    }
}

TEST(ClassPathSearchPattern, RelativeUnderTheExecutableFolderAbsoluteAsWritten)
{
    EXPECT_EQ(classPathSearchPattern(L"lib\\*.jar", L"C:\\App"), L"C:\\App\\lib\\*.jar");
    EXPECT_EQ(classPathSearchPattern(L"app.jar", L"C:\\App"), L"C:\\App\\app.jar");
    // An empty piece between two ";" looks for the folder itself and so
    // matches nothing.
    EXPECT_EQ(classPathSearchPattern(L"", L"C:\\App"), L"C:\\App\\");
    EXPECT_EQ(classPathSearchPattern(L"app.jar", L"C:"), L"C:\\app.jar");
    EXPECT_EQ(classPathSearchPattern(L"D:\\libs\\*.jar", L"C:\\App"), L"D:\\libs\\*.jar");
    EXPECT_EQ(classPathSearchPattern(L"\\\\srv\\libs\\*", L"C:\\App"), L"\\\\srv\\libs\\*");
}

TEST(SearchResultFolder, UpToTheLastSeparator)
{
    EXPECT_EQ(searchResultFolder(L"C:\\App\\lib\\*.jar"), L"C:\\App\\lib");
    EXPECT_EQ(searchResultFolder(L"C:\\App\\lib/*.jar"), L"C:\\App\\lib");
    EXPECT_EQ(searchResultFolder(L"C:\\App/lib\\sub\\*.jar"), L"C:\\App/lib\\sub");
    EXPECT_EQ(searchResultFolder(L"C:\\App\\"), L"C:\\App");
    EXPECT_EQ(searchResultFolder(L"*.jar"), L"");
}

TEST(IsFolderSelfOrParent, OnlyTheTwoDotEntries)
{
    EXPECT_TRUE(isFolderSelfOrParent(L"."));
    EXPECT_TRUE(isFolderSelfOrParent(L".."));
    for (const wchar_t* name : {L"...", L".hidden.jar", L"a.jar", L"classes", L""}) {
        EXPECT_FALSE(isFolderSelfOrParent(name)) << name;
    }
}

TEST(ClassPathOption, KeepsTheClosingSeparator)
{
    EXPECT_EQ(classPathOption(L"C:\\App\\lib\\a.jar;D:\\ext\\x.jar;"),
              L"-Djava.class.path=C:\\App\\lib\\a.jar;D:\\ext\\x.jar;");
}
