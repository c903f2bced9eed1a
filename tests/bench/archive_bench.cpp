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
#include "support/process_runner.h"
#include "support/sandbox.h"
#include "support/test_paths.h"

using namespace harness;

namespace {

constexpr DWORD kStartLimitMilliseconds = 60000;
constexpr int kWarmUpStarts = 10;

double nowMicroseconds()
{
    FILETIME now;
    GetSystemTimePreciseAsFileTime(&now);
    ULARGE_INTEGER ticks{{now.dwLowDateTime, now.dwHighDateTime}};
    constexpr unsigned long long kTicksFrom1601To1970 = 116444736000000000ULL;
    return static_cast<double>(ticks.QuadPart - kTicksFrom1601To1970) / 10.0;
}

// Milliseconds from process creation until main began; none when the start failed.
std::optional<double> timeToMain(const std::wstring& product)
{
    const std::wstring folder = folderOf(product);
    const std::wstring outputFile = folder + L"\\main-output.txt";
    ProcessStart start(product);
    start.currentFolder = folder;
    start.outputFile = outputFile;
    EnvironmentBlock environment = EnvironmentBlock::inherited();
    environment.set(L"LOCALAPPDATA", folder + L"\\Local");
    start.environment = environment;
    const double begin = nowMicroseconds();
    std::optional<RunningProcess> process = RunningProcess::start(start);
    if (!process) {
        return std::nullopt;
    }
    ProcessOutcome outcome = process->waitForExit(kStartLimitMilliseconds);
    std::optional<std::string> output = readFileBytes(outputFile);
    size_t at = output ? output->find("main at ") : std::string::npos;
    if (!outcome.finished || outcome.exitCode != 0 || at == std::string::npos) {
        std::fwprintf(stderr, L"archive_bench: a start of %ls failed (exit code %d)\n",
                      product.c_str(), outcome.exitCode);
        return std::nullopt;
    }
    return (std::strtod(output->c_str() + at + 8, nullptr) - begin) / 1000.0;
}

// Whether the product's folder holds an archive in place (not a temporary one).
bool hasArchive(const std::wstring& product)
{
    WIN32_FIND_DATAW match{};
    const std::wstring pattern = folderOf(product) + L"\\Local\\Hello World\\bench\\cds-*.jsa";
    HANDLE search = FindFirstFileW(pattern.c_str(), &match);
    if (search == INVALID_HANDLE_VALUE) {
        return false;
    }
    FindClose(search);
    return true;
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
