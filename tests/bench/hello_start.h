// What the benchmarks of a hello-world product share: the machine's clock,
// which the Linux JVM reads too, and one start timed until its main began.
#pragma once

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "support/process_runner.h"
#include "support/sandbox.h"

// Microseconds since 1970 on the machine's clock.
inline double nowMicroseconds()
{
    FILETIME now;
    GetSystemTimePreciseAsFileTime(&now);
    ULARGE_INTEGER ticks{{now.dwLowDateTime, now.dwHighDateTime}};
    constexpr unsigned long long kTicksFrom1601To1970 = 116444736000000000ULL;
    return static_cast<double>(ticks.QuadPart - kTicksFrom1601To1970) / 10.0;
}

// Milliseconds from process creation until the program's main began, as its
// "main at <microseconds>" line in the start's output file says; none when
// the start failed.
inline std::optional<double> helloTimeToMain(const harness::ProcessStart& start,
                                             DWORD limitMilliseconds)
{
    const double begin = nowMicroseconds();
    std::optional<harness::RunningProcess> process = harness::RunningProcess::start(start);
    if (!process) {
        return std::nullopt;
    }
    harness::ProcessOutcome outcome = process->waitForExit(limitMilliseconds);
    std::optional<std::string> output = harness::readFileBytes(start.outputFile);
    size_t at = output ? output->find("main at ") : std::string::npos;
    if (!outcome.finished || outcome.exitCode != 0 || at == std::string::npos) {
        std::fwprintf(stderr, L"the hello-world start of %ls failed (exit code %d)\n",
                      start.program.c_str(), outcome.exitCode);
        return std::nullopt;
    }
    return (std::strtod(output->c_str() + at + 8, nullptr) - begin) / 1000.0;
}
