// File search, folder creation and removal on real files in a fresh temp
// folder, at ordinary and extended lengths.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "support/file_finder.h"
#include "support/folders.h"
#include "support/handle_owners.h"

namespace {

std::wstring extended(const std::wstring& fullPath)
{
    return L"\\\\?\\" + fullPath;
}

std::wstring withForwardSlashes(std::wstring path)
{
    std::replace(path.begin(), path.end(), L'\\', L'/');
    return path;
}

bool isFolder(const std::wstring& fullPath)
{
    const DWORD attributes = GetFileAttributesW(extended(fullPath).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool isFile(const std::wstring& fullPath)
{
    const DWORD attributes = GetFileAttributesW(extended(fullPath).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

void createFile(const std::wstring& fullPath)
{
    const FileHandle file(CreateFileW(extended(fullPath).c_str(), GENERIC_WRITE, 0, nullptr,
                                      CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file) << "cannot create " << testing::PrintToString(fullPath);
}

// Creates every missing folder of fullPath below `existing` through the
// extended-length form, so that no length limit applies.
void createFolders(const std::wstring& existing, const std::wstring& fullPath)
{
    for (size_t cut = fullPath.find(L'\\', existing.size() + 1);;
         cut = fullPath.find(L'\\', cut + 1)) {
        const std::wstring folder = fullPath.substr(0, cut);
        ASSERT_TRUE(CreateDirectoryW(extended(folder).c_str(), nullptr) ||
                    GetLastError() == ERROR_ALREADY_EXISTS)
            << "cannot create " << testing::PrintToString(folder);
        if (cut == std::wstring::npos) {
            break;
        }
    }
}

// Removes a folder with everything in it; the path carries the extended-length prefix.
void removeTree(const std::wstring& folder)
{
    WIN32_FIND_DATAW data;
    const FindHandle search(FindFirstFileW((folder + L"\\*").c_str(), &data));
    if (search) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") {
                continue;
            }
            const std::wstring child = folder + L"\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                removeTree(child);
            } else {
                DeleteFileW(child.c_str());
            }
        } while (FindNextFileW(search.get(), &data));
    }
    RemoveDirectoryW(folder.c_str());
}

// A path of more than MAX_PATH code units below `base`, made of 40-letter folders.
std::wstring deepFolderBelow(const std::wstring& base, size_t atLeast = 300)
{
    std::wstring path = base;
    for (int level = 0; path.size() < base.size() + atLeast; ++level) {
        path += L"\\level" + std::to_wstring(level) + std::wstring(34, L'd');
    }
    return path;
}

// Each test gets a fresh temp folder (a full path with backslashes) and the
// current folder back as it was.
class FilesAndFolders : public testing::Test {
protected:
    void SetUp() override
    {
        wchar_t current[MAX_PATH + 1];
        const DWORD currentLength = GetCurrentDirectoryW(MAX_PATH + 1, current);
        ASSERT_GT(currentLength, 0u);
        ASSERT_LE(currentLength, DWORD{MAX_PATH});
        savedCurrentFolder_.assign(current, currentLength);

        wchar_t temp[MAX_PATH + 1];
        const DWORD tempLength = GetTempPathW(MAX_PATH + 1, temp);
        ASSERT_GT(tempLength, 0u);
        ASSERT_LE(tempLength, DWORD{MAX_PATH});
        const std::wstring base(temp, tempLength);
        for (int attempt = 0; folder_.empty(); ++attempt) {
            ASSERT_LT(attempt, 100);
            const std::wstring candidate = base + L"tarvo-support-" +
                                           std::to_wstring(GetCurrentProcessId()) + L"-" +
                                           std::to_wstring(GetTickCount() + attempt);
            if (CreateDirectoryW(candidate.c_str(), nullptr)) {
                folder_ = candidate;
            }
        }
    }

    void TearDown() override
    {
        SetCurrentDirectoryW(savedCurrentFolder_.c_str());
        if (!folder_.empty()) {
            removeTree(extended(folder_));
            EXPECT_FALSE(isFolder(folder_)) << "temp folder left behind";
        }
    }

    const std::wstring& folder() const { return folder_; }
    std::wstring inFolder(const std::wstring& relative) const { return folder_ + L"\\" + relative; }

private:
    std::wstring savedCurrentFolder_;
    std::wstring folder_;
};

using FileFinderTest = FilesAndFolders;

TEST_F(FileFinderTest, FindsAnExistingFileAndTellsItsFolder)
{
    createFile(inFolder(L"settings.ini"));
    FileFinder finder;
    ASSERT_TRUE(finder.findFile(inFolder(L"settings.ini")));
    EXPECT_TRUE(finder.found());
    EXPECT_EQ(finder.rootFolder(), folder());
    EXPECT_STREQ(finder.findData().cFileName, L"settings.ini");
}

TEST_F(FileFinderTest, FailsForAMissingFileAndForgetsTheLastFind)
{
    createFile(inFolder(L"settings.ini"));
    FileFinder finder;
    ASSERT_TRUE(finder.findFile(inFolder(L"settings.ini")));

    EXPECT_FALSE(finder.findFile(inFolder(L"missing.ini")));
    EXPECT_EQ(GetLastError(), DWORD{ERROR_FILE_NOT_FOUND});
    EXPECT_FALSE(finder.found());
    EXPECT_TRUE(finder.rootFolder().empty());
}

TEST_F(FileFinderTest, SearchesEverythingInTheCurrentFolderWithoutAPattern)
{
    createFile(inFolder(L"only.txt"));
    ASSERT_TRUE(SetCurrentDirectoryW(folder().c_str()));
    wchar_t current[MAX_PATH + 1];
    const DWORD length = GetCurrentDirectoryW(MAX_PATH + 1, current);
    ASSERT_GT(length, 0u);

    FileFinder finder;
    ASSERT_TRUE(finder.findFile());
    EXPECT_EQ(finder.rootFolder(), std::wstring(current, length));
}

TEST_F(FileFinderTest, TakesForwardSlashesAsSeparators)
{
    createFile(inFolder(L"data.txt"));
    FileFinder finder;
    ASSERT_TRUE(finder.findFile(withForwardSlashes(inFolder(L"data.txt"))));
    std::wstring root = finder.rootFolder();
    std::replace(root.begin(), root.end(), L'/', L'\\');
    EXPECT_EQ(root, folder());
}

TEST_F(FileFinderTest, FindsAFileBelowMaxPathThroughTheExtendedLengthForm)
{
    const std::wstring deep = deepFolderBelow(folder());
    createFolders(folder(), deep);
    createFile(deep + L"\\file.txt");

    FileFinder finder;
    ASSERT_TRUE(finder.findFile(deep + L"\\file.txt"));
    EXPECT_EQ(finder.rootFolder(), extended(deep));
    EXPECT_STREQ(finder.findData().cFileName, L"file.txt");
}

TEST_F(FileFinderTest, FindsALongRelativePath)
{
    const std::wstring deep = deepFolderBelow(folder());
    createFolders(folder(), deep);
    createFile(deep + L"\\file.txt");
    ASSERT_TRUE(SetCurrentDirectoryW(folder().c_str()));

    const std::wstring relative = deep.substr(folder().size() + 1) + L"\\file.txt";
    ASSERT_GE(relative.size(), size_t{MAX_PATH});
    FileFinder finder;
    ASSERT_TRUE(finder.findFile(relative));
    EXPECT_EQ(finder.rootFolder(), extended(deep));
}

TEST_F(FileFinderTest, FindsALongPathWrittenWithForwardSlashes)
{
    const std::wstring deep = deepFolderBelow(folder());
    createFolders(folder(), deep);
    createFile(deep + L"\\file.txt");

    FileFinder finder;
    ASSERT_TRUE(finder.findFile(withForwardSlashes(deep + L"\\file.txt")));
    EXPECT_EQ(finder.rootFolder(), extended(deep));
}

TEST_F(FileFinderTest, RefusesAPathTooLongForTheSystem)
{
    createFile(inFolder(L"settings.ini"));
    FileFinder finder;
    ASSERT_TRUE(finder.findFile(inFolder(L"settings.ini")));

    std::wstring tooLong = inFolder(L"");
    tooLong.append(32767 - tooLong.size(), L'x');
    EXPECT_FALSE(finder.findFile(tooLong));
    EXPECT_EQ(GetLastError(), DWORD{ERROR_FILENAME_EXCED_RANGE});
    EXPECT_FALSE(finder.found());
    EXPECT_TRUE(finder.rootFolder().empty());
}

using CreateParentFoldersTest = FilesAndFolders;

TEST_F(CreateParentFoldersTest, CreatesTheNestedFoldersButNotTheFile)
{
    EXPECT_EQ(createParentFolders(inFolder(L"logs\\app\\out.txt")), 0u);
    EXPECT_TRUE(isFolder(inFolder(L"logs\\app")));
    EXPECT_FALSE(isFile(inFolder(L"logs\\app\\out.txt")));
    EXPECT_FALSE(isFolder(inFolder(L"logs\\app\\out.txt")));
}

TEST_F(CreateParentFoldersTest, CreatesFoldersBeyondMaxPath)
{
    const std::wstring deep = deepFolderBelow(folder());
    EXPECT_EQ(createParentFolders(deep + L"\\out.txt"), 0u);
    EXPECT_TRUE(isFolder(deep));
}

TEST_F(CreateParentFoldersTest, ReturnsZeroWhenTheFileExists)
{
    createFolders(folder(), inFolder(L"logs"));
    createFile(inFolder(L"logs\\out.txt"));
    EXPECT_EQ(createParentFolders(inFolder(L"logs\\out.txt")), 0u);
    EXPECT_TRUE(isFile(inFolder(L"logs\\out.txt")));
}

TEST_F(CreateParentFoldersTest, CreatesFoldersOfAPathWrittenWithForwardSlashes)
{
    EXPECT_EQ(createParentFolders(withForwardSlashes(inFolder(L"logs\\app\\out.txt"))), 0u);
    EXPECT_TRUE(isFolder(inFolder(L"logs\\app")));
}

TEST_F(CreateParentFoldersTest, CreatesFoldersOfAPathFromTheRootOfTheCurrentDrive)
{
    ASSERT_EQ(folder()[1], L':');
    ASSERT_TRUE(SetCurrentDirectoryW(folder().c_str()));
    const std::wstring fromDriveRoot = inFolder(L"logs\\app\\out.txt").substr(2);
    EXPECT_EQ(createParentFolders(fromDriveRoot), 0u);
    EXPECT_TRUE(isFolder(inFolder(L"logs\\app")));
}

TEST_F(CreateParentFoldersTest, TakesTheFirstPartOfARelativePathAsGiven)
{
    ASSERT_TRUE(SetCurrentDirectoryW(folder().c_str()));
    EXPECT_EQ(createParentFolders(L"logs\\app\\out.txt"), DWORD{ERROR_PATH_NOT_FOUND});
    EXPECT_FALSE(isFolder(inFolder(L"logs")));

    createFolders(folder(), inFolder(L"logs"));
    EXPECT_EQ(createParentFolders(L"logs\\app\\out.txt"), 0u);
    EXPECT_TRUE(isFolder(inFolder(L"logs\\app")));
}

TEST_F(CreateParentFoldersTest, TakesBackTheEmptyFolderItMadeWhenALowerOneFails)
{
    const std::uint32_t error = createParentFolders(inFolder(L"made\\bad|name\\out.txt"));
    EXPECT_NE(error, 0u);
    EXPECT_NE(error, DWORD{ERROR_ALREADY_EXISTS});
    EXPECT_FALSE(isFolder(inFolder(L"made")));
    EXPECT_TRUE(isFolder(folder()));
}

TEST_F(CreateParentFoldersTest, LeavesAnEmptyFolderThatWasThereBefore)
{
    createFolders(folder(), inFolder(L"kept"));
    EXPECT_NE(createParentFolders(inFolder(L"kept\\bad|name\\out.txt")), 0u);
    EXPECT_TRUE(isFolder(inFolder(L"kept")));
}

TEST_F(CreateParentFoldersTest, FailsBelowAPartThatIsAFile)
{
    createFile(inFolder(L"blocker"));
    const std::uint32_t error = createParentFolders(inFolder(L"blocker\\sub\\out.txt"));
    EXPECT_NE(error, 0u);
    EXPECT_NE(error, DWORD{ERROR_ALREADY_EXISTS});
    EXPECT_TRUE(isFile(inFolder(L"blocker")));
}

using RemoveFolderTest = FilesAndFolders;

TEST_F(RemoveFolderTest, RemovesOnlyAnEmptyFolder)
{
    createFolders(folder(), inFolder(L"empty"));
    createFolders(folder(), inFolder(L"full"));
    createFile(inFolder(L"full\\file.txt"));

    EXPECT_TRUE(removeFolder(inFolder(L"empty")));
    EXPECT_FALSE(isFolder(inFolder(L"empty")));
    EXPECT_FALSE(removeFolder(inFolder(L"full")));
    EXPECT_TRUE(isFile(inFolder(L"full\\file.txt")));
}

TEST_F(RemoveFolderTest, RemovesAFolderBeyondMaxPath)
{
    const std::wstring deep = deepFolderBelow(folder());
    createFolders(folder(), deep);
    EXPECT_TRUE(removeFolder(deep));
    EXPECT_FALSE(isFolder(deep));
    EXPECT_TRUE(isFolder(deep.substr(0, deep.rfind(L'\\'))));
}

}  // namespace
