// The class-data-sharing archive with real Java (the bridge runtime, JDK 17):
// the first start has the JVM write the archive under its temporary name, the
// next puts it in place and maps it (the JVM's class loading log says where
// each class came from), a changed jar gives a new archive and the old one
// goes, two starts at once harm nothing, and an archive spoilt on disk leaves
// the program running as without one.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "real_java_product.h"
#include "support/polling.h"
#include "support/test_text.h"

using namespace harness;

namespace {

constexpr wchar_t kArchiveFolder[] = L"Local\\Acme Editor\\AE-1";
// The bridge's Linux JVM writes the archive at its exit, which comes after the
// Windows process has ended; a JVM writes the archive's header last.
constexpr DWORD kArchiveWriteLimit = 60000;
// What -Xlog:class+load says of a class taken from the dynamic archive.
constexpr char kMainFromArchive[] = "tarvo.e2e.Main source: shared objects file (top)";
constexpr unsigned char kDynamicArchiveMagic[] = {0xa8, 0xab, 0x0b, 0xf0};

class RealJavaClassDataSharing : public RealJavaTest {
protected:
    void SetUp() override
    {
        RealJavaTest::SetUp();
        if (IsSkipped()) {
            return;
        }
        ASSERT_TRUE(product.sandbox().createFolder(L"Local"));
        product.environment().set(L"LOCALAPPDATA", product.sandbox().pathOf(L"Local"));
        ASSERT_TRUE(product.sandbox().writeFile(L"jre64\\release", "JAVA_VERSION=\"17.0.9\"\n"));
        ASSERT_TRUE(product.writeSettings(
            "tarvo.e2e.Main", "Virtual Machine Parameters=-Xlog:class+load=info\r\n",
            "[Product Information]\r\nProduct Name=Acme Editor\r\nProduct Code=AE-1\r\n"));
    }

    // One start that runs main to its end.
    void expectNormalRun()
    {
        LauncherRun run = product.run({}, kRealRunLimit);
        EXPECT_TRUE(run.outcome.finished) << "the launcher did not end by itself";
        EXPECT_EQ(run.outcome.exitCode, 0);
        EXPECT_TRUE(run.boxes.empty());
        EXPECT_TRUE(outputHas("main returns")) << textOf(kOutputName);
    }

    bool outputHas(std::string_view line) const { return traceHas(linesOf(kOutputName), line); }

    bool mainCameFromArchive() const
    {
        for (const std::string& line : linesOf(kOutputName)) {
            if (line.find(kMainFromArchive) != std::string::npos) {
                return true;
            }
        }
        return false;
    }

    std::vector<std::wstring> archiveFiles() const
    {
        std::vector<std::wstring> files = product.sandbox().filesIn(kArchiveFolder);
        std::sort(files.begin(), files.end());
        return files;
    }

    std::wstring archivePath(const std::wstring& name) const
    {
        return std::wstring(kArchiveFolder) + L"\\" + name;
    }

    bool startsAsArchive(const std::wstring& name) const
    {
        std::optional<std::string> bytes = product.sandbox().readFile(archivePath(name));
        return bytes && bytes->size() > 4096 &&
               std::equal(std::begin(kDynamicArchiveMagic), std::end(kDynamicArchiveMagic),
                          bytes->begin(), [](unsigned char expected, char read) {
                              return expected == static_cast<unsigned char>(read);
                          });
    }

    static bool isTemporary(const std::wstring& name) { return name.ends_with(L".jsa.part"); }

    // Waits for the JVM of the start just ended to have written a temporary
    // archive whole; its name, or empty at the limit.
    std::wstring waitForWrittenArchive() const
    {
        std::wstring written;
        static_cast<void>(pollUntil(
            [&] {
                for (const std::wstring& name : archiveFiles()) {
                    if (isTemporary(name) && startsAsArchive(name)) {
                        written = name;
                        return true;
                    }
                }
                return false;
            },
            kArchiveWriteLimit, 200));
        return written;
    }

    // The first two starts: the archive written, then in place and mapped.
    // Returns its name.
    std::wstring writeAndMapArchive()
    {
        expectNormalRun();
        EXPECT_FALSE(mainCameFromArchive());
        const std::wstring written = waitForWrittenArchive();
        EXPECT_FALSE(written.empty()) << "no archive written";
        EXPECT_EQ(archiveFiles(), std::vector<std::wstring>{written});
        if (written.empty()) {
            return {};
        }

        expectNormalRun();
        EXPECT_TRUE(mainCameFromArchive()) << textOf(kOutputName);
        const std::wstring archive = written.substr(0, written.size() - 5);
        EXPECT_EQ(archiveFiles(), std::vector<std::wstring>{archive});
        return archive;
    }
};

}  // namespace

TEST_F(RealJavaClassDataSharing, FirstStartWritesSecondMapsThirdMapsAgain)
{
    const std::wstring archive = writeAndMapArchive();
    ASSERT_FALSE(archive.empty());
    expectNormalRun();
    EXPECT_TRUE(mainCameFromArchive()) << textOf(kOutputName);
    EXPECT_EQ(archiveFiles(), std::vector<std::wstring>{archive});
}

TEST_F(RealJavaClassDataSharing, ChangedJarGivesANewArchiveAndTheOldOneGoes)
{
    const std::wstring old = writeAndMapArchive();
    ASSERT_FALSE(old.empty());
    // The same classes, written again a minute later.
    ASSERT_TRUE(installBuiltJar(product.sandbox(), kProgramsJar, L"app.jar"));
    const std::wstring jar = product.sandbox().pathOf(L"app.jar");
    FileHandle file(CreateFileW(jar.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file);
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER later{};
    later.LowPart = now.dwLowDateTime;
    later.HighPart = now.dwHighDateTime;
    later.QuadPart += 60ULL * 10000000ULL;
    now.dwLowDateTime = later.LowPart;
    now.dwHighDateTime = later.HighPart;
    ASSERT_TRUE(SetFileTime(file.get(), nullptr, nullptr, &now));
    file.reset();

    expectNormalRun();
    EXPECT_FALSE(mainCameFromArchive());
    const std::wstring written = waitForWrittenArchive();
    ASSERT_FALSE(written.empty()) << "no new archive written";
    std::vector<std::wstring> files = archiveFiles();
    ASSERT_EQ(files.size(), 2u);
    EXPECT_TRUE(std::find(files.begin(), files.end(), old) != files.end());

    expectNormalRun();
    EXPECT_TRUE(mainCameFromArchive()) << textOf(kOutputName);
    files = archiveFiles();
    ASSERT_EQ(files.size(), 1u) << toUtf8(files[0]) << " " << toUtf8(files.back());
    EXPECT_NE(files[0], old);
    EXPECT_FALSE(isTemporary(files[0]));
}

TEST_F(RealJavaClassDataSharing, SpoiltArchiveLeavesTheProgramRunning)
{
    const std::wstring archive = writeAndMapArchive();
    ASSERT_FALSE(archive.empty());
    std::optional<std::string> bytes = product.sandbox().readFile(archivePath(archive));
    ASSERT_TRUE(bytes);
    // The header's start kept, everything after it scribbled over.
    for (std::size_t index = 16; index < bytes->size(); index += 7) {
        (*bytes)[index] = static_cast<char>(index * 31);
    }
    ASSERT_TRUE(product.sandbox().writeFile(archivePath(archive), *bytes));
    expectNormalRun();
    EXPECT_FALSE(mainCameFromArchive());

    // Cut short as well.
    ASSERT_TRUE(product.sandbox().writeFile(archivePath(archive), bytes->substr(0, 100)));
    expectNormalRun();
    EXPECT_FALSE(mainCameFromArchive());
}

TEST_F(RealJavaClassDataSharing, TwoStartsAtOnceHarmNothing)
{
    ProcessStart start(product.sandbox().executablePath(),
                       commandLineOf(product.sandbox().executablePath(), {}));
    start.currentFolder = product.sandbox().folder();
    start.environment = product.environment();
    std::optional<RunningProcess> first = RunningProcess::start(start);
    std::optional<RunningProcess> second = RunningProcess::start(start);
    ASSERT_TRUE(first && second);
    for (RunningProcess* launcher : {&*first, &*second}) {
        ProcessOutcome outcome = launcher->waitForExit(kRealRunLimit);
        EXPECT_TRUE(outcome.finished);
        EXPECT_EQ(outcome.exitCode, 0);
    }
    // One of the two wrote; the next start puts it in place and maps it.
    EXPECT_FALSE(waitForWrittenArchive().empty());
    expectNormalRun();
    EXPECT_TRUE(mainCameFromArchive()) << textOf(kOutputName);
    std::vector<std::wstring> files = archiveFiles();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_FALSE(isTemporary(files[0]));
}
