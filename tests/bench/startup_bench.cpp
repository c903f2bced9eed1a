// Start-up benchmark: how long a product's start takes from process creation
// until its Java program has run and the process has ended, against a program
// that does nothing, both started the same way. It measures, it does not judge:
// the figures go to standard output and the exit code only tells whether every
// start ran.
//   startup_bench <rounds> <do_nothing.exe> <product.exe> [arguments...]
// TARVO_BENCH_FLOOR names a third program started in every round, the floor:
// the least a GUI launcher must do; the product is then compared to it too.
#include <windows.h>
// psapi.h needs the types windows.h declares.
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <optional>
#include <string>
#include <vector>

#include "bench/bench_figures.h"
#include "support/process_runner.h"
#include "support/sandbox.h"
#include "support/test_paths.h"

using namespace harness;

namespace {

// No start of either program may take longer than this.
constexpr DWORD kStartLimitMilliseconds = 60000;

struct Timing {
    double milliseconds = 0;
    SIZE_T peakWorkingSet = 0;  // 0 when the system does not tell
    // What the bench's instant runtime wrote as it was loaded: the peak
    // working set before the Java runtime; 0 for any other program.
    SIZE_T peakWorkingSetAtRuntimeLoad = 0;
};

// The file the instant runtime writes its figure to (TARVO_BENCH_LOAD_FIGURE,
// which every program started here inherits).
std::wstring theLoadFigureFile;

SIZE_T takeLoadFigure()
{
    std::optional<std::string> text = readFileBytes(theLoadFigureFile);
    DeleteFileW(theLoadFigureFile.c_str());
    return text ? static_cast<SIZE_T>(std::strtoull(text->c_str(), nullptr, 10)) : 0;
}

double elapsedMilliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) * 1000.0 /
           static_cast<double>(frequency.QuadPart);
}

// One start to its end; nothing when it failed to start, ran over the limit
// or ended with a code other than 0.
std::optional<Timing> timeOneStart(const ProcessStart& start)
{
    LARGE_INTEGER begin;
    QueryPerformanceCounter(&begin);
    std::optional<RunningProcess> process = RunningProcess::start(start);
    if (!process) {
        return std::nullopt;
    }
    ProcessOutcome outcome = process->waitForExit(kStartLimitMilliseconds);
    LARGE_INTEGER end;
    QueryPerformanceCounter(&end);
    if (!outcome.finished || outcome.exitCode != 0) {
        std::fwprintf(stderr, L"startup_bench: %ls ended with %d%ls\n", start.program.c_str(),
                      outcome.exitCode, outcome.finished ? L"" : L" (killed)");
        return std::nullopt;
    }
    Timing timing{elapsedMilliseconds(begin, end)};
    // Asked at once: Wine answers only while the ended process is still
    // being taken down.
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (GetProcessMemoryInfo(process->handle(), &counters, sizeof counters)) {
        timing.peakWorkingSet = counters.PeakWorkingSetSize;
    }
    timing.peakWorkingSetAtRuntimeLoad = takeLoadFigure();
    return timing;
}

std::vector<double> millisecondsOf(const std::vector<Timing>& timings)
{
    std::vector<double> milliseconds;
    for (const Timing& timing : timings) {
        milliseconds.push_back(timing.milliseconds);
    }
    return milliseconds;
}

void report(const wchar_t* name, const std::vector<Timing>& timings)
{
    std::vector<double> milliseconds = millisecondsOf(timings);
    SIZE_T peak = 0;
    SIZE_T peakAtRuntimeLoad = 0;
    for (const Timing& timing : timings) {
        peak = std::max(peak, timing.peakWorkingSet);
        peakAtRuntimeLoad = std::max(peakAtRuntimeLoad, timing.peakWorkingSetAtRuntimeLoad);
    }
    auto [fastest, slowest] = std::minmax_element(milliseconds.begin(), milliseconds.end());
    std::wprintf(L"%-12ls median %8.1f ms   fastest %8.1f ms   slowest %8.1f ms", name,
                 median(milliseconds), *fastest, *slowest);
    if (peak != 0) {
        std::wprintf(L"   peak working set %6.1f MiB", static_cast<double>(peak) / (1024 * 1024));
    }
    if (peakAtRuntimeLoad != 0) {
        std::wprintf(L", %6.1f MiB when its runtime loaded",
                     static_cast<double>(peakAtRuntimeLoad) / (1024 * 1024));
    }
    std::wprintf(L"\n");
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 4) {
        std::fwprintf(
            stderr,
            L"usage: startup_bench <rounds> <do_nothing.exe> <product.exe> [arguments...]\n"
            L"(TARVO_BENCH_OUTPUT: a file for the product's standard output and error)\n");
        return 2;
    }
    const int rounds = std::max(1, static_cast<int>(std::wcstol(argv[1], nullptr, 10)));
    ProcessStart baseline(argv[2]);
    std::vector<std::wstring> arguments(argv + 4, argv + argc);
    ProcessStart product(argv[3], commandLineOf(argv[3], arguments));
    product.currentFolder = folderOf(argv[3]);
    // A console product's output would run into the figures: it can go to a
    // file (or NUL) instead, as a script that redirects it would send it.
    wchar_t outputFile[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"TARVO_BENCH_OUTPUT", outputFile, MAX_PATH) > 0) {
        product.outputFile = outputFile;
    }
    wchar_t tempFolder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, tempFolder);
    theLoadFigureFile = std::wstring(tempFolder) + L"tarvo-bench-" +
                        std::to_wstring(GetCurrentProcessId()) + L".load";
    SetEnvironmentVariableW(L"TARVO_BENCH_LOAD_FIGURE", theLoadFigureFile.c_str());
    wchar_t floorProgram[MAX_PATH] = {};
    std::optional<ProcessStart> floor;
    if (GetEnvironmentVariableW(L"TARVO_BENCH_FLOOR", floorProgram, MAX_PATH) > 0) {
        floor.emplace(floorProgram);
    }

    // One start of each first, uncounted: it fills the system's file cache.
    if (!timeOneStart(baseline) || !timeOneStart(product) || (floor && !timeOneStart(*floor))) {
        return 1;
    }
    std::vector<Timing> baselineTimings;
    std::vector<Timing> floorTimings;
    std::vector<Timing> productTimings;
    // Alternating, so that a slow spell of the machine falls on both.
    for (int round = 0; round < rounds; ++round) {
        std::optional<Timing> nothing = timeOneStart(baseline);
        std::optional<Timing> started = timeOneStart(product);
        if (!nothing || !started) {
            return 1;
        }
        baselineTimings.push_back(*nothing);
        productTimings.push_back(*started);
        if (floor) {
            std::optional<Timing> least = timeOneStart(*floor);
            if (!least) {
                return 1;
            }
            floorTimings.push_back(*least);
        }
    }
    std::wprintf(L"%d starts each, from process creation to process end:\n", rounds);
    report(L"do nothing", baselineTimings);
    if (floor) {
        report(L"floor", floorTimings);
    }
    report(L"product", productTimings);
    std::wprintf(L"product / do nothing (medians): %.2f\n",
                 median(millisecondsOf(productTimings)) / median(millisecondsOf(baselineTimings)));
    if (floor) {
        std::wprintf(L"product / floor (medians): %.2f\n",
                     median(millisecondsOf(productTimings)) / median(millisecondsOf(floorTimings)));
    }
    return 0;
}
