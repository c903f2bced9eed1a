#include "support/runtime_bin_folder.h"

#include <gtest/gtest.h>

TEST(RuntimeBinFolder, LibraryInAJvmTypeFolderGivesTheBinFolder)
{
    EXPECT_EQ(runtimeBinFolder(L"C:\\Java\\jre\\bin\\server\\jvm.dll"), L"C:\\Java\\jre\\bin");
    EXPECT_EQ(runtimeBinFolder(L"C:\\Program Files\\Java\\jdk-17\\bin\\client\\jvm.dll"),
              L"C:\\Program Files\\Java\\jdk-17\\bin");
    EXPECT_EQ(runtimeBinFolder(L"\\\\server\\share\\jre\\bin\\server\\jvm.dll"),
              L"\\\\server\\share\\jre\\bin");
}

TEST(RuntimeBinFolder, PathsWithFewerThanTwoBackslashesLoseWhatTheyCan)
{
    // One backslash: the first cut leaves the drive, the second has nothing to cut.
    EXPECT_EQ(runtimeBinFolder(L"C:\\jvm.dll"), L"C:");
    EXPECT_EQ(runtimeBinFolder(L"server\\jvm.dll"), L"server");
    EXPECT_EQ(runtimeBinFolder(L"jvm.dll"), L"jvm.dll");
    EXPECT_EQ(runtimeBinFolder(L""), L"");
}

TEST(RuntimeBinFolder, OnlyBackslashesSeparateComponents)
{
    // A forward slash is not a separator for this rule.
    EXPECT_EQ(runtimeBinFolder(L"C:\\Java\\jre\\bin/server/jvm.dll"), L"C:\\Java");
    // A trailing backslash ends an empty last component.
    EXPECT_EQ(runtimeBinFolder(L"C:\\Java\\jre\\bin\\server\\"), L"C:\\Java\\jre\\bin");
}
