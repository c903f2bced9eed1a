// The class-data-sharing archive's gain: a product's start through the
// launcher and the bridge runtime, without an archive ("Class Data
// Sharing=off") and with a warm one, alternating, and the ratio of the
// medians. It measures, it does not judge.
//   archive_bench hello <product without archive.exe> <product with archive.exe> <starts>
//   archive_bench window <product without archive.exe> <product with archive.exe> <starts>
// hello: a hello-world, timed until its main runs. window: the Swing sample,
// timed until its window first painted; its settings give it
// -Dsample.firstWindowFile=first-window.txt, so that it writes that time
// beside the executable and quits. Each product's runtime folder has a
// "release" file naming version 17, and its archive is the only one under
// <product folder>\Local.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "bench/bench_figures.h"
#include "bench/hello_start.h"
#include "support/process_runner.h"
#include "support/sandbox.h"
#include "support/test_paths.h"

using namespace harness;

namespace {

constexpr DWORD kStartLimitMilliseconds = 60000;
constexpr int kWarmUpStarts = 10;

enum class Finish { main, firstWindow };

// A start of the product from its own folder, its per-user folder inside it.
ProcessStart productStart(const std::wstring& product)
{
    const std::wstring folder = folderOf(product);
    ProcessStart start(product);
    start.currentFolder = folder;
    start.outputFile = folder + L"\\main-output.txt";
    EnvironmentBlock environment = EnvironmentBlock::inherited();
    environment.set(L"LOCALAPPDATA", folder + L"\\Local");
    start.environment = environment;
    return start;
}

// Milliseconds from process creation until the window first painted, as the
// program wrote in first-window.txt (ms since 1970) before it quit; none when
// the start failed. A start still running at the limit is killed.
std::optional<double> timeToFirstWindow(const ProcessStart& start)
{
    const std::wstring finishFile = folderOf(start.program) + L"\\first-window.txt";
    DeleteFileW(finishFile.c_str());
    const double begin = nowMicroseconds();
    std::optional<RunningProcess> process = RunningProcess::start(start);
    if (!process) {
        return std::nullopt;
    }
    ProcessOutcome outcome = process->waitForExit(kStartLimitMilliseconds);
    std::optional<std::string> written = readFileBytes(finishFile);
    if (!outcome.finished || outcome.exitCode != 0 || !written || written->empty()) {
        std::fwprintf(stderr, L"the first-window start of %ls failed (exit code %d%ls)\n",
                      start.program.c_str(), outcome.exitCode, outcome.killed ? L", killed" : L"");
        return std::nullopt;
    }
    return std::strtod(written->c_str(), nullptr) - begin / 1000.0;
}

// Milliseconds from process creation until the finish; none when the start failed.
std::optional<double> timeToFinish(Finish finish, const std::wstring& product)
{
    const ProcessStart start = productStart(product);
    return finish == Finish::main ? helloTimeToMain(start, kStartLimitMilliseconds)
                                  : timeToFirstWindow(start);
}

// Whether the folder, or one below it up to the depth given, holds an
// archive in place (not a temporary one).
bool hasArchive(const std::wstring& folder, int depth)
{
    WIN32_FIND_DATAW match{};
    const std::wstring archives = folder + L"\\cds-*.jsa";
    if (FindHandle(FindFirstFileW(archives.c_str(), &match))) {
        return true;
    }
    if (depth == 0) {
        return false;
    }
    const std::wstring everything = folder + L"\\*";
    FindHandle search(FindFirstFileW(everything.c_str(), &match));
    if (!search) {
        return false;
    }
    do {
        const std::wstring name = match.cFileName;
        if ((match.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && name != L"." && name != L".." &&
            hasArchive(folder + L"\\" + name, depth - 1)) {
            return true;
        }
    } while (FindNextFileW(search.get(), &match));
    return false;
}

// The archive's place: Local\<Product Name>\<Product Code>.
bool hasArchive(const std::wstring& product)
{
    return hasArchive(folderOf(product) + L"\\Local", 2);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring kind = argc > 1 ? argv[1] : L"";
    if (argc < 5 || (kind != L"hello" && kind != L"window")) {
        std::fwprintf(stderr, L"usage: archive_bench hello|window <without.exe> <with.exe> <starts>\n");
        return 2;
    }
    const Finish finish = kind == L"hello" ? Finish::main : Finish::firstWindow;
    const wchar_t* what = finish == Finish::main ? L"hello-world to main" : L"Swing sample to first window";
    const std::wstring without = argv[2];
    const std::wstring with = argv[3];
    const int starts = std::max(1, static_cast<int>(std::wcstol(argv[4], nullptr, 10)));
    // Uncounted starts: the file cache filled, the archive written (the
    // bridge's JVM writes it after the launcher has ended), then put in place.
    if (!timeToFinish(finish, without)) {
        return 1;
    }
    for (int warmUp = 0; !hasArchive(with); ++warmUp) {
        if (warmUp == kWarmUpStarts || !timeToFinish(finish, with)) {
            std::fwprintf(stderr, L"archive_bench: no archive after %d starts\n", warmUp);
            return 1;
        }
        Sleep(1000);
    }
    std::vector<double> withoutFigures;
    std::vector<double> withFigures;
    for (int i = 0; i < starts; ++i) {
        std::optional<double> plain = timeToFinish(finish, without);
        std::optional<double> shared = timeToFinish(finish, with);
        if (!plain || !shared) {
            return 1;
        }
        withoutFigures.push_back(*plain);
        withFigures.push_back(*shared);
    }
    const double plainMedian = median(withoutFigures);
    const double sharedMedian = median(withFigures);
    std::wprintf(L"archive: %ls without an archive: median %.1f ms (%d starts)\n", what, plainMedian,
                 starts);
    std::wprintf(L"archive: %ls with a warm archive: median %.1f ms (%d starts)\n", what, sharedMedian,
                 starts);
    std::wprintf(L"archive: %ls, with / without: %.2f\n", what, sharedMedian / plainMedian);
    return 0;
}
