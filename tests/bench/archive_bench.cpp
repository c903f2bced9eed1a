// The class-data-sharing archive's gain: a hello-world product's start through
// the launcher and the bridge runtime until its main runs, without an archive
// ("Class Data Sharing=off") and with a warm one, alternating, and the ratio
// of the medians. It measures, it does not judge.
//   archive_bench <product without archive.exe> <product with archive.exe> <starts>
// Each product's runtime folder has a "release" file naming version 17.
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

// Milliseconds from process creation until main began; none when the start failed.
std::optional<double> timeToMain(const std::wstring& product)
{
    const std::wstring folder = folderOf(product);
    ProcessStart start(product);
    start.currentFolder = folder;
    start.outputFile = folder + L"\\main-output.txt";
    EnvironmentBlock environment = EnvironmentBlock::inherited();
    environment.set(L"LOCALAPPDATA", folder + L"\\Local");
    start.environment = environment;
    return helloTimeToMain(start, kStartLimitMilliseconds);
}

// Whether the product's folder holds an archive in place (not a temporary one).
bool hasArchive(const std::wstring& product)
{
    WIN32_FIND_DATAW match{};
    const std::wstring pattern = folderOf(product) + L"\\Local\\Hello World\\bench\\cds-*.jsa";
    return static_cast<bool>(FindHandle(FindFirstFileW(pattern.c_str(), &match)));
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 4) {
        std::fwprintf(stderr, L"usage: archive_bench <without.exe> <with.exe> <starts>\n");
        return 2;
    }
    const std::wstring without = argv[1];
    const std::wstring with = argv[2];
    const int starts = std::max(1, static_cast<int>(std::wcstol(argv[3], nullptr, 10)));
    // Uncounted starts: the file cache filled, the archive written (the
    // bridge's JVM writes it after the launcher has ended), then put in place.
    if (!timeToMain(without)) {
        return 1;
    }
    for (int warmUp = 0; !hasArchive(with); ++warmUp) {
        if (warmUp == kWarmUpStarts || !timeToMain(with)) {
            std::fwprintf(stderr, L"archive_bench: no archive after %d starts\n", warmUp);
            return 1;
        }
        Sleep(1000);
    }
    std::vector<double> withoutFigures;
    std::vector<double> withFigures;
    for (int i = 0; i < starts; ++i) {
        std::optional<double> plain = timeToMain(without);
        std::optional<double> shared = timeToMain(with);
        if (!plain || !shared) {
            return 1;
        }
        withoutFigures.push_back(*plain);
        withFigures.push_back(*shared);
    }
    const double plainMedian = median(withoutFigures);
    const double sharedMedian = median(withFigures);
    std::wprintf(L"archive: hello-world to main without an archive: median %.1f ms (%d starts)\n",
                 plainMedian, starts);
    std::wprintf(L"archive: hello-world to main with a warm archive: median %.1f ms (%d starts)\n",
                 sharedMedian, starts);
    std::wprintf(L"archive: with / without: %.2f\n", sharedMedian / plainMedian);
    return 0;
}
