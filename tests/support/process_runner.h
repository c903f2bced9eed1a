// Starts programs as real processes and waits for them with a limit: a
// program that does not end in time is killed, together with anything it
// started, and reported as killed. Starting and waiting are separate steps so
// that a test can drive the program's windows in between.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/handle_owners.h"

namespace harness {

// A child's environment: this process's variables with changes on top.
// Names compare without regard to case, as Windows does.
class EnvironmentBlock {
public:
    // This process's current environment.
    static EnvironmentBlock inherited();

    void set(std::wstring_view name, std::wstring_view value);
    void remove(std::wstring_view name);
    std::optional<std::wstring> get(std::wstring_view name) const;

    // The block CreateProcessW takes with CREATE_UNICODE_ENVIRONMENT: sorted
    // "name=value" strings, each NUL-terminated, and a final NUL.
    std::wstring block() const;

private:
    std::vector<std::pair<std::wstring, std::wstring>> variables_;
};

struct ProcessStart {
    explicit ProcessStart(std::wstring programPath, std::wstring wholeCommandLine = {})
        : program(std::move(programPath)), commandLine(std::move(wholeCommandLine))
    {
    }

    std::wstring program;
    // The whole command line as the program receives it, program name
    // included; empty gives the quoted program path alone.
    std::wstring commandLine;
    // Empty keeps this process's current folder.
    std::wstring currentFolder;
    // Absent inherits this process's environment.
    std::optional<EnvironmentBlock> environment;
    // Standard output and error go to these files when given.
    std::wstring outputFile;
    std::wstring errorFile;
    // Standard output and error each go into a pipe of their own instead,
    // which the running process reads (RunningProcess::pipedOutput).
    bool pipeStandardStreams = false;
    // "station\\desktop" to start it on; empty inherits this process's.
    std::wstring desktop;
};

struct ProcessOutcome {
    bool finished = false;      // ended by itself within the limit
    bool killed = false;        // still running at the limit, so killed
    std::int32_t exitCode = 0;  // GetExitCodeProcess's value, read as signed
};

class RunningProcess {
public:
    RunningProcess() = default;
    // A process still running when its owner ends is killed.
    ~RunningProcess();
    RunningProcess(RunningProcess&&) noexcept = default;
    RunningProcess& operator=(RunningProcess&&) noexcept;

    [[nodiscard]] static std::optional<RunningProcess> start(const ProcessStart& start);

    DWORD id() const { return id_; }
    HANDLE handle() const { return process_.get(); }
    bool isRunning() const;

    // Waits up to the limit; kills the process and what it started when the limit passes.
    [[nodiscard]] ProcessOutcome waitForExit(DWORD limitMilliseconds);
    // Waits up to the limit for the process to be ready for input (its
    // first message loop), as WaitForInputIdle tells; false at the limit.
    [[nodiscard]] bool waitForInputIdle(DWORD limitMilliseconds) const;
    void kill();

    // With pipeStandardStreams: reads what the program has written so far
    // without blocking, so that a full pipe never holds it up. waitForExit
    // keeps reading while it waits, and after the end until every writer
    // (the program and what it started) has closed its end, up to the limit.
    void readPipes();
    const std::string& pipedOutput() const { return pipedOutput_; }
    const std::string& pipedError() const { return pipedError_; }

private:
    // True once every writer has closed the pipe.
    static bool readPipe(FileHandle& pipe, std::string& into);
    bool pipesOpen() const { return outputPipe_ || errorPipe_; }

    KernelHandle process_;
    KernelHandle job_;
    DWORD id_ = 0;
    bool killed_ = false;
    FileHandle outputPipe_;
    FileHandle errorPipe_;
    std::string pipedOutput_;
    std::string pipedError_;
};

// Starts, then waits as waitForExit does; nothing when the program cannot be started.
[[nodiscard]] std::optional<ProcessOutcome> runProcess(const ProcessStart& start,
                                                       DWORD limitMilliseconds);

// One argument quoted so that the usual command-line splitting gives it back unchanged.
std::wstring quoteArgument(std::wstring_view argument);
// The program path and the arguments, each quoted as needed, joined by blanks.
std::wstring commandLineOf(std::wstring_view program, const std::vector<std::wstring>& arguments);

}  // namespace harness
