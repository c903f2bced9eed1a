#include "support/path_rules.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

using Components = std::vector<std::wstring>;

constexpr std::uint32_t accessDenied = 5;     // ERROR_ACCESS_DENIED
constexpr std::uint32_t pathNotFound = 3;     // ERROR_PATH_NOT_FOUND
constexpr std::uint32_t badNetworkPath = 53;  // ERROR_BAD_NETPATH

// A path of exactly `length` code units: `start`, then "a\" folders, padded with x.
std::wstring pathOfLength(std::wstring start, std::size_t length)
{
    std::wstring path = std::move(start);
    while (path.size() + 2 <= length) {
        path += L"a\\";
    }
    path.append(length - path.size(), L'x');
    return path;
}

TEST(IsUncPath, TellsNetworkPathsByTheirTwoLeadingBackslashes)
{
    EXPECT_TRUE(isUncPath(L"\\\\srv\\share\\a"));
    EXPECT_TRUE(isUncPath(L"\\\\srv"));
    EXPECT_TRUE(isUncPath(L"\\\\"));
    EXPECT_TRUE(isUncPath(L"\\\\?\\UNC\\srv\\share"));

    EXPECT_FALSE(isUncPath(L"\\\\?\\C:\\a"));
    EXPECT_FALSE(isUncPath(L"\\\\?\\"));
    EXPECT_FALSE(isUncPath(L"\\a\\b"));
    EXPECT_FALSE(isUncPath(L"C:\\a"));
    EXPECT_FALSE(isUncPath(L"//srv/share"));
    EXPECT_FALSE(isUncPath(L""));
}

TEST(ToLongPath, LeavesPathsBelowMaxPathAsTheyAre)
{
    const std::wstring local = pathOfLength(L"C:\\", 259);
    EXPECT_EQ(toLongPath(local), local);
    const std::wstring network = pathOfLength(L"\\\\srv\\share\\", 259);
    EXPECT_EQ(toLongPath(network), network);
}

TEST(ToLongPath, PrefixesLocalPathsFromMaxPathOn)
{
    for (std::size_t length : {260u, 300u, 32766u}) {
        const std::wstring path = pathOfLength(L"C:\\", length);
        EXPECT_EQ(toLongPath(path), L"\\\\?\\" + path) << length;
    }
    const std::wstring relative = pathOfLength(L"logs\\", 300);
    EXPECT_EQ(toLongPath(relative), L"\\\\?\\" + relative);
}

TEST(ToLongPath, TurnsTheLeadingBackslashesOfNetworkPathsIntoTheNetworkPrefix)
{
    for (std::size_t length : {260u, 300u, 32766u}) {
        const std::wstring path = pathOfLength(L"\\\\srv\\share\\", length);
        EXPECT_EQ(toLongPath(path), L"\\\\?\\UNC\\" + path.substr(2)) << length;
    }
}

TEST(ToLongPath, KeepsAPrefixThePathAlreadyHas)
{
    const std::wstring local = pathOfLength(L"\\\\?\\C:\\", 300);
    EXPECT_EQ(toLongPath(local), local);
    const std::wstring network = pathOfLength(L"\\\\?\\UNC\\srv\\share\\", 300);
    EXPECT_EQ(toLongPath(network), network);
}

TEST(ToLongPath, RefusesPathsTooLongEvenForThePrefix)
{
    EXPECT_FALSE(toLongPath(pathOfLength(L"C:\\", 32767)));
    EXPECT_FALSE(toLongPath(pathOfLength(L"C:\\", 40000)));
    EXPECT_FALSE(toLongPath(pathOfLength(L"\\\\srv\\share\\", 32767)));
    EXPECT_FALSE(toLongPath(pathOfLength(L"\\\\?\\C:\\", 32767)));
}

TEST(FolderPartOf, CutsBeforeTheLastSeparatorOfEitherKind)
{
    EXPECT_EQ(folderPartOf(L"C:\\data\\file.txt"), L"C:\\data");
    EXPECT_EQ(folderPartOf(L"C:/data/file.txt"), L"C:/data");
    EXPECT_EQ(folderPartOf(L"C:\\data/sub\\file.txt"), L"C:\\data/sub");
    EXPECT_EQ(folderPartOf(L"C:/data\\sub/file.txt"), L"C:/data\\sub");
    EXPECT_EQ(folderPartOf(L"\\\\?\\C:\\data\\*.*"), L"\\\\?\\C:\\data");
    EXPECT_EQ(folderPartOf(L"C:\\file.txt"), L"C:");
    EXPECT_EQ(folderPartOf(L"file.txt"), L"file.txt");
}

TEST(SplitPathComponents, PutsTheRootWithItsPrefixFirst)
{
    EXPECT_EQ(splitPathComponents(L"C:\\a\\b"), (Components{L"C:", L"a", L"b"}));
    EXPECT_EQ(splitPathComponents(L"\\\\srv\\share\\a"), (Components{L"\\\\srv", L"share", L"a"}));
    EXPECT_EQ(splitPathComponents(L"\\\\?\\UNC\\srv\\share\\a"),
              (Components{L"\\\\?\\UNC\\srv", L"share", L"a"}));
    EXPECT_EQ(splitPathComponents(L"\\\\?\\C:\\a"), (Components{L"\\\\?\\C:", L"a"}));
}

TEST(SplitPathComponents, TakesTheFirstPartOfARelativePathAsItsRoot)
{
    EXPECT_EQ(splitPathComponents(L"logs\\app\\out.txt"),
              (Components{L"logs", L"app", L"out.txt"}));
    EXPECT_EQ(splitPathComponents(L"out.txt"), (Components{L"out.txt"}));
    EXPECT_EQ(splitPathComponents(L"C:"), (Components{L"C:"}));
    EXPECT_EQ(splitPathComponents(L"\\\\srv"), (Components{L"\\\\srv"}));
    EXPECT_EQ(splitPathComponents(L""), Components{});
}

TEST(SplitPathComponents, GivesNoRootForAPathStartingWithOneBackslash)
{
    EXPECT_EQ(splitPathComponents(L"\\logs\\out.txt"), (Components{L"logs", L"out.txt"}));
}

TEST(SplitPathComponents, KeepsEmptyPartsButNoneAfterAFinalBackslash)
{
    EXPECT_EQ(splitPathComponents(L"C:\\a\\\\b"), (Components{L"C:", L"a", L"", L"b"}));
    EXPECT_EQ(splitPathComponents(L"C:\\a\\b\\"), (Components{L"C:", L"a", L"b"}));
    EXPECT_EQ(splitPathComponents(L"C:\\"), (Components{L"C:"}));
    EXPECT_EQ(splitPathComponents(L"\\\\srv\\share\\"), (Components{L"\\\\srv", L"share"}));
}

// A folder tree in memory: folders are created only below an existing one,
// and chosen folders fail with a chosen error.
class FakeFolders {
public:
    explicit FakeFolders(std::set<std::wstring> existing) : existing_(std::move(existing)) {}

    void failWith(const std::wstring& folder, std::uint32_t error) { failures_[folder] = error; }

    std::uint32_t walk(const std::wstring& filePath)
    {
        return createFolderChain(
            filePath, [this](const std::wstring& folder) { return create(folder); },
            [this](const std::wstring& folder) { remove(folder); });
    }

    bool exists(const std::wstring& folder) const { return existing_.count(folder) != 0; }
    const Components& attempts() const { return attempts_; }
    const Components& created() const { return created_; }
    const Components& removed() const { return removed_; }

private:
    std::uint32_t create(const std::wstring& folder)
    {
        attempts_.push_back(folder);
        if (auto failure = failures_.find(folder); failure != failures_.end()) {
            return failure->second;
        }
        if (exists(folder)) {
            return alreadyExistsError;
        }
        if (!exists(folder.substr(0, folder.rfind(L'\\')))) {
            return pathNotFound;
        }
        existing_.insert(folder);
        created_.push_back(folder);
        return 0;
    }

    void remove(const std::wstring& folder)
    {
        removed_.push_back(folder);
        existing_.erase(folder);
    }

    std::set<std::wstring> existing_;
    std::map<std::wstring, std::uint32_t> failures_;
    Components attempts_;
    Components created_;
    Components removed_;
};

TEST(CreateFolderChain, CreatesEveryFolderAboveTheFileButNotTheFile)
{
    FakeFolders folders({L"C:"});
    EXPECT_EQ(folders.walk(L"C:\\logs\\app\\out.txt"), 0u);
    EXPECT_EQ(folders.attempts(), (Components{L"C:\\logs", L"C:\\logs\\app"}));
    EXPECT_EQ(folders.created(), (Components{L"C:\\logs", L"C:\\logs\\app"}));
    EXPECT_TRUE(folders.removed().empty());
}

TEST(CreateFolderChain, TakesTheLastPartAsTheFileNameEvenAfterAFinalBackslash)
{
    FakeFolders folders({L"C:"});
    EXPECT_EQ(folders.walk(L"C:\\logs\\app\\"), 0u);
    EXPECT_EQ(folders.attempts(), (Components{L"C:\\logs"}));
}

TEST(CreateFolderChain, NeverCreatesTheFirstPartOfARelativePath)
{
    FakeFolders missingRoot({L"C:"});
    EXPECT_EQ(missingRoot.walk(L"logs\\app\\out.txt"), pathNotFound);
    EXPECT_EQ(missingRoot.attempts(), (Components{L"logs\\app"}));
    EXPECT_TRUE(missingRoot.removed().empty());

    FakeFolders existingRoot({L"logs"});
    EXPECT_EQ(existingRoot.walk(L"logs\\app\\out.txt"), 0u);
    EXPECT_EQ(existingRoot.created(), (Components{L"logs\\app"}));
}

TEST(CreateFolderChain, KeepsTheRootOfTheCurrentDriveForAPathStartingWithOneBackslash)
{
    FakeFolders folders({L"\\logs"});
    EXPECT_EQ(folders.walk(L"\\logs\\app\\out.txt"), 0u);
    EXPECT_EQ(folders.created(), (Components{L"\\logs\\app"}));
}

TEST(CreateFolderChain, ReadsForwardSlashesAsBackslashes)
{
    FakeFolders folders({L"C:"});
    EXPECT_EQ(folders.walk(L"C:/logs/app/out.txt"), 0u);
    EXPECT_EQ(folders.created(), (Components{L"C:\\logs", L"C:\\logs\\app"}));
}

TEST(CreateFolderChain, KeepsTheExtendedLengthPrefixOnEveryFolder)
{
    FakeFolders folders({L"\\\\?\\C:"});
    EXPECT_EQ(folders.walk(L"\\\\?\\C:\\logs\\app\\out.txt"), 0u);
    EXPECT_EQ(folders.created(), (Components{L"\\\\?\\C:\\logs", L"\\\\?\\C:\\logs\\app"}));
}

TEST(CreateFolderChain, GoesOnPastFoldersThatExistAndThenSucceeds)
{
    FakeFolders folders({L"C:", L"C:\\logs"});
    EXPECT_EQ(folders.walk(L"C:\\logs\\app\\deep\\out.txt"), 0u);
    EXPECT_EQ(folders.created(), (Components{L"C:\\logs\\app", L"C:\\logs\\app\\deep"}));
}

TEST(CreateFolderChain, ReturnsZeroWhenEveryFolderIsThere)
{
    FakeFolders folders({L"C:", L"C:\\logs", L"C:\\logs\\app"});
    EXPECT_EQ(folders.walk(L"C:\\logs\\app\\out.txt"), 0u);
    EXPECT_TRUE(folders.created().empty());
}

TEST(CreateFolderChain, StopsAtAccessDeniedAndTakesBackTheFolderItMadeOneLevelUp)
{
    FakeFolders folders({L"C:"});
    folders.failWith(L"C:\\logs\\app", accessDenied);
    EXPECT_EQ(folders.walk(L"C:\\logs\\app\\deep\\out.txt"), accessDenied);
    EXPECT_EQ(folders.attempts(), (Components{L"C:\\logs", L"C:\\logs\\app"}));
    EXPECT_EQ(folders.removed(), (Components{L"C:\\logs"}));
}

TEST(CreateFolderChain, RemovesNothingWhenTheFirstFolderFails)
{
    FakeFolders folders({L"C:"});
    folders.failWith(L"C:\\logs", accessDenied);
    EXPECT_EQ(folders.walk(L"C:\\logs\\app\\out.txt"), accessDenied);
    EXPECT_EQ(folders.attempts(), (Components{L"C:\\logs"}));
    EXPECT_TRUE(folders.removed().empty());
}

TEST(CreateFolderChain, LeavesAFolderThatWasThereBefore)
{
    FakeFolders folders({L"C:", L"C:\\logs"});
    folders.failWith(L"C:\\logs\\app", accessDenied);
    EXPECT_EQ(folders.walk(L"C:\\logs\\app\\out.txt"), accessDenied);
    EXPECT_TRUE(folders.removed().empty());
    EXPECT_TRUE(folders.exists(L"C:\\logs"));
}

TEST(CreateFolderChain, GoesOnBelowTheLevelsOfANetworkShare)
{
    FakeFolders folders({L"\\\\srv", L"\\\\srv\\share", L"\\\\srv\\share\\a"});
    folders.failWith(L"\\\\srv\\share", accessDenied);
    // The share level fails, yet the folders below it are what was asked for.
    EXPECT_EQ(folders.walk(L"\\\\srv\\share\\a\\b\\c\\out.txt"), 0u);
    EXPECT_EQ(folders.attempts(),
              (Components{L"\\\\srv\\share", L"\\\\srv\\share\\a", L"\\\\srv\\share\\a\\b",
                          L"\\\\srv\\share\\a\\b\\c"}));
    EXPECT_TRUE(folders.removed().empty());
}

TEST(CreateFolderChain, ReportsTheLastFailureBelowANetworkShare)
{
    FakeFolders folders({L"\\\\srv"});
    folders.failWith(L"\\\\srv\\share", badNetworkPath);
    folders.failWith(L"\\\\srv\\share\\a", accessDenied);
    EXPECT_EQ(folders.walk(L"\\\\srv\\share\\a\\b\\out.txt"), pathNotFound);
    EXPECT_EQ(folders.attempts().size(), 3u);
    EXPECT_TRUE(folders.removed().empty());
}

TEST(CreateFolderChain, TreatsTheExtendedNetworkFormAsANetworkPath)
{
    FakeFolders folders(
        {L"\\\\?\\UNC\\srv", L"\\\\?\\UNC\\srv\\share", L"\\\\?\\UNC\\srv\\share\\a"});
    folders.failWith(L"\\\\?\\UNC\\srv\\share", accessDenied);
    EXPECT_EQ(folders.walk(L"\\\\?\\UNC\\srv\\share\\a\\b\\out.txt"), 0u);
    EXPECT_EQ(folders.created(), (Components{L"\\\\?\\UNC\\srv\\share\\a\\b"}));
}

TEST(CreateFolderChain, DoesNothingForAFileWithoutFolders)
{
    FakeFolders folders({});
    EXPECT_EQ(folders.walk(L"out.txt"), 0u);
    EXPECT_EQ(folders.walk(L"C:\\out.txt"), 0u);
    EXPECT_EQ(folders.walk(L""), 0u);
    EXPECT_TRUE(folders.attempts().empty());
}

}  // namespace
