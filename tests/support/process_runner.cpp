#include "support/process_runner.h"

#include <algorithm>
#include <cstdio>
#include <tuple>

#include "support/polling.h"

namespace harness {

namespace {

// What a killed process's exit code is set to; the outcome says "killed" anyway.
constexpr UINT kKilledExitCode = 0xDEAD;
// How long a killed process may take to be gone.
constexpr DWORD kKillLimitMilliseconds = 5000;
// How often a process start is tried, and the pause between tries.
constexpr int kStartAttempts = 3;
constexpr DWORD kStartRetryPauseMilliseconds = 500;

// False for the errors that say the program itself cannot be started, where
// trying again is of no use.
bool mayStartLater(DWORD error)
{
    return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND &&
           error != ERROR_BAD_EXE_FORMAT && error != ERROR_INVALID_NAME && error != ERROR_DIRECTORY;
}

bool sameName(std::wstring_view first, std::wstring_view second)
{
    return CompareStringOrdinal(first.data(), static_cast<int>(first.size()), second.data(),
                                static_cast<int>(second.size()), TRUE) == CSTR_EQUAL;
}

bool nameBefore(const std::wstring& first, const std::wstring& second)
{
    return CompareStringOrdinal(first.data(), static_cast<int>(first.size()), second.data(),
                                static_cast<int>(second.size()), TRUE) == CSTR_LESS_THAN;
}

// A job that kills every process in it when its last handle closes, so that
// nothing a test started outlives it. Empty when the system refuses one.
KernelHandle createKillOnCloseJob()
{
    KernelHandle job(CreateJobObjectW(nullptr, nullptr));
    if (!job) {
        return job;
    }
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits,
                                 sizeof limits)) {
        job.reset();
    }
    return job;
}

// A handle the child inherits: the file, created afresh, or the NUL device.
FileHandle openInheritableOutput(const std::wstring& path)
{
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    return FileHandle(CreateFileW(path.empty() ? L"NUL" : path.c_str(), GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                                  path.empty() ? OPEN_EXISTING : CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
}

// A pipe whose write end the child inherits and whose read end stays here.
// Both empty when the system refuses one.
std::pair<FileHandle, FileHandle> createOutputPipe()
{
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inheritable, 0)) {
        return {};
    }
    FileHandle reader(readEnd);
    FileHandle writer(writeEnd);
    if (!SetHandleInformation(reader.get(), HANDLE_FLAG_INHERIT, 0)) {
        return {};
    }
    return {std::move(reader), std::move(writer)};
}

// How often a waiting runner looks into the pipes, and how long after the
// program's end its pipes may stay open (something it started may still write).
constexpr DWORD kPipeLookMilliseconds = 20;
constexpr DWORD kPipeCloseLimitMilliseconds = 10000;

}  // namespace

EnvironmentBlock EnvironmentBlock::inherited()
{
    EnvironmentBlock environment;
    wchar_t* strings = GetEnvironmentStringsW();
    if (strings == nullptr) {
        return environment;
    }
    for (const wchar_t* entry = strings; *entry != L'\0'; entry += wcslen(entry) + 1) {
        std::wstring_view text(entry);
        // Names of the hidden per-drive folders start with '=': look for the separator after it.
        size_t separator = text.find(L'=', 1);
        if (separator == std::wstring_view::npos) {
            continue;
        }
        environment.variables_.emplace_back(text.substr(0, separator), text.substr(separator + 1));
    }
    FreeEnvironmentStringsW(strings);
    return environment;
}

void EnvironmentBlock::set(std::wstring_view name, std::wstring_view value)
{
    for (auto& [existingName, existingValue] : variables_) {
        if (sameName(existingName, name)) {
            existingValue = value;
            return;
        }
    }
    variables_.emplace_back(name, value);
}

void EnvironmentBlock::remove(std::wstring_view name)
{
    std::erase_if(variables_, [&](const auto& variable) { return sameName(variable.first, name); });
}

std::optional<std::wstring> EnvironmentBlock::get(std::wstring_view name) const
{
    for (const auto& [existingName, value] : variables_) {
        if (sameName(existingName, name)) {
            return value;
        }
    }
    return std::nullopt;
}

std::wstring EnvironmentBlock::block() const
{
    std::vector<std::pair<std::wstring, std::wstring>> sorted = variables_;
    std::stable_sort(sorted.begin(), sorted.end(), [](const auto& first, const auto& second) {
        return nameBefore(first.first, second.first);
    });
    std::wstring block;
    for (const auto& [name, value] : sorted) {
        block += name + L"=" + value;
        block += L'\0';
    }
    if (block.empty()) {
        block += L'\0';
    }
    block += L'\0';
    return block;
}

RunningProcess::~RunningProcess()
{
    kill();
}

RunningProcess& RunningProcess::operator=(RunningProcess&& other) noexcept
{
    if (this != &other) {
        kill();
        process_ = std::move(other.process_);
        job_ = std::move(other.job_);
        id_ = std::exchange(other.id_, 0);
        killed_ = other.killed_;
        outputPipe_ = std::move(other.outputPipe_);
        errorPipe_ = std::move(other.errorPipe_);
        pipedOutput_ = std::move(other.pipedOutput_);
        pipedError_ = std::move(other.pipedError_);
    }
    return *this;
}

std::optional<RunningProcess> RunningProcess::start(const ProcessStart& start)
{
    RunningProcess running;
    std::wstring commandLine =
        start.commandLine.empty() ? quoteArgument(start.program) : start.commandLine;
    std::wstring environment = start.environment ? start.environment->block() : std::wstring();

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring desktop = start.desktop;
    if (!desktop.empty()) {
        startup.lpDesktop = desktop.data();
    }
    // The handles the child inherits as its standard streams.
    FileHandle output;
    FileHandle error;
    FileHandle input;
    bool redirect =
        !start.outputFile.empty() || !start.errorFile.empty() || start.pipeStandardStreams;
    if (start.pipeStandardStreams) {
        std::tie(running.outputPipe_, output) = createOutputPipe();
        std::tie(running.errorPipe_, error) = createOutputPipe();
        if (!error) {
            return std::nullopt;
        }
    } else if (redirect) {
        output = openInheritableOutput(start.outputFile);
        error = start.errorFile == start.outputFile ? FileHandle()
                                                    : openInheritableOutput(start.errorFile);
    }
    if (redirect) {
        SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
        input.reset(CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                &inheritable, OPEN_EXISTING, 0, nullptr));
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = input.get();
        startup.hStdOutput = output.get();
        startup.hStdError = error ? error.get() : output.get();
        if (!output || !input) {
            return std::nullopt;
        }
    }

    running.job_ = createKillOnCloseJob();
    // Suspended until it is in the job, so that it cannot start anything outside it.
    DWORD flags = CREATE_UNICODE_ENVIRONMENT | CREATE_SUSPENDED;
    PROCESS_INFORMATION created{};
    // Wine now and then fails a process start on a loaded machine before any
    // of the program runs; such a start is tried again, and every failure is
    // reported so that a run's log shows it.
    for (int attempt = 1;; ++attempt) {
        bool started =
            CreateProcessW(start.program.c_str(), commandLine.data(), nullptr, nullptr,
                           redirect ? TRUE : FALSE, flags,
                           start.environment ? environment.data() : nullptr,
                           start.currentFolder.empty() ? nullptr : start.currentFolder.c_str(),
                           &startup, &created) != FALSE;
        if (started) {
            break;
        }
        DWORD error = GetLastError();
        fwprintf(stderr, L"process runner: starting %ls failed with error %lu (attempt %d of %d)\n",
                 start.program.c_str(), error, attempt, kStartAttempts);
        if (!mayStartLater(error) || attempt == kStartAttempts) {
            SetLastError(error);
            return std::nullopt;
        }
        Sleep(kStartRetryPauseMilliseconds);
    }
    // Only the child writes into the pipes: with the last writer gone, a
    // read tells the end.
    output.reset();
    error.reset();
    running.process_.reset(created.hProcess);
    KernelHandle thread(created.hThread);
    running.id_ = created.dwProcessId;
    if (running.job_ && !AssignProcessToJobObject(running.job_.get(), created.hProcess)) {
        running.job_.reset();
    }
    if (ResumeThread(thread.get()) == static_cast<DWORD>(-1)) {
        fwprintf(stderr, L"process runner: resuming %ls failed with error %lu\n",
                 start.program.c_str(), GetLastError());
        running.kill();
        return std::nullopt;
    }
    return running;
}

bool RunningProcess::isRunning() const
{
    return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

ProcessOutcome RunningProcess::waitForExit(DWORD limitMilliseconds)
{
    ProcessOutcome outcome;
    if (!process_) {
        return outcome;
    }
    ULONGLONG deadline = GetTickCount64() + limitMilliseconds;
    auto leftMilliseconds = [&] {
        ULONGLONG now = GetTickCount64();
        return now < deadline ? static_cast<DWORD>(deadline - now) : 0;
    };
    bool ended = false;
    if (pipesOpen()) {
        for (;;) {
            readPipes();
            DWORD left = leftMilliseconds();
            if (WaitForSingleObject(process_.get(), std::min(left, kPipeLookMilliseconds)) ==
                WAIT_OBJECT_0) {
                ended = true;
                break;
            }
            if (left == 0) {
                break;
            }
        }
    } else {
        ended = WaitForSingleObject(process_.get(), limitMilliseconds) == WAIT_OBJECT_0;
    }
    if (ended) {
        outcome.finished = !killed_;
    } else {
        kill();
    }
    static_cast<void>(pollUntil(
        [&] {
            readPipes();
            return !pipesOpen();
        },
        kPipeCloseLimitMilliseconds, kPipeLookMilliseconds));
    outcome.killed = killed_;
    DWORD exitCode = 0;
    if (GetExitCodeProcess(process_.get(), &exitCode)) {
        outcome.exitCode = static_cast<std::int32_t>(exitCode);
    }
    return outcome;
}

bool RunningProcess::waitForInputIdle(DWORD limitMilliseconds) const
{
    return process_ && WaitForInputIdle(process_.get(), limitMilliseconds) == 0;
}

void RunningProcess::kill()
{
    if (!process_) {
        return;
    }
    if (isRunning()) {
        killed_ = true;
        if (!job_ || !TerminateJobObject(job_.get(), kKilledExitCode)) {
            TerminateProcess(process_.get(), kKilledExitCode);
        }
        WaitForSingleObject(process_.get(), kKillLimitMilliseconds);
    }
    if (job_) {
        // Whatever the program started and left behind ends with it.
        TerminateJobObject(job_.get(), kKilledExitCode);
    }
}

void RunningProcess::readPipes()
{
    if (outputPipe_ && readPipe(outputPipe_, pipedOutput_)) {
        outputPipe_.reset();
    }
    if (errorPipe_ && readPipe(errorPipe_, pipedError_)) {
        errorPipe_.reset();
    }
}

bool RunningProcess::readPipe(FileHandle& pipe, std::string& into)
{
    for (;;) {
        DWORD available = 0;
        if (!PeekNamedPipe(pipe.get(), nullptr, 0, nullptr, &available, nullptr)) {
            return true;  // ERROR_BROKEN_PIPE: every writer is gone and all is read
        }
        if (available == 0) {
            return false;
        }
        char buffer[4096];
        DWORD read = 0;
        if (!ReadFile(pipe.get(), buffer, std::min<DWORD>(available, sizeof buffer), &read,
                      nullptr)) {
            return true;
        }
        into.append(buffer, read);
    }
}

std::optional<ProcessOutcome> runProcess(const ProcessStart& start, DWORD limitMilliseconds)
{
    std::optional<RunningProcess> running = RunningProcess::start(start);
    if (!running) {
        return std::nullopt;
    }
    return running->waitForExit(limitMilliseconds);
}

std::wstring quoteArgument(std::wstring_view argument)
{
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring_view::npos) {
        return std::wstring(argument);
    }
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes count as escapes only before a quote: double them there.
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    quoted += L'"';
    return quoted;
}

std::wstring commandLineOf(std::wstring_view program, const std::vector<std::wstring>& arguments)
{
    std::wstring commandLine = quoteArgument(program);
    for (const std::wstring& argument : arguments) {
        commandLine += L' ';
        commandLine += quoteArgument(argument);
    }
    return commandLine;
}

}  // namespace harness
