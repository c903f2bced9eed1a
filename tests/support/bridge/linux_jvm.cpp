#define _CRT_RAND_S
#include "support/bridge/linux_jvm.h"

#include <ws2tcpip.h>

#include <cstdlib>
#include <optional>

#include "support/bridge/forwarding.h"
#include "support/handle_owners.h"
#include "support/loaded_library.h"
#include "support/test_text.h"

namespace bridge {

namespace {

// A JVM start takes a second or two; a busy machine may take many times that.
constexpr DWORD kStartLimitMilliseconds = 60000;

std::wstring wideOfAnsi(const std::string& text)
{
    int length = MultiByteToWideChar(CP_THREAD_ACP, 0, text.data(), static_cast<int>(text.size()),
                                     nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_THREAD_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                        length);
    return wide;
}

// The Windows view of a Linux path: Wine's drive Z: is the Linux root.
std::wstring windowsViewOf(const std::string& linuxPath)
{
    std::wstring path = L"Z:" + harness::fromUtf8(linuxPath);
    for (wchar_t& c : path) {
        if (c == L'/') {
            c = L'\\';
        }
    }
    return path;
}

constexpr std::wstring_view kClassPathOption = L"-Djava.class.path=";

// The options whose value is one file the JVM reads or writes: the
// class-data-sharing archive's. Their Windows paths become Linux ones, each
// resolved by bash as the class path's entries are.
constexpr std::wstring_view kFileOptions[] = {L"-XX:SharedArchiveFile=",
                                              L"-XX:ArchiveClassesAtExit="};

// The option's name and its file as two lines; nothing when the option names
// no file of its own.
std::optional<std::string> fileOptionLines(const std::wstring& option)
{
    for (std::wstring_view prefix : kFileOptions) {
        if (option.starts_with(prefix) && option.size() > prefix.size()) {
            std::string translated = unixPathOf(option.substr(prefix.size()));
            if (translated.empty()) {
                return std::nullopt;
            }
            return harness::toUtf8(prefix) + "\n" + translated + "\n";
        }
    }
    return std::nullopt;
}

// The class path the launcher built, ";"-separated Windows paths, as Linux
// paths one per line. Wine's Linux path of a file on C: runs through
// "dosdevices/c:", whose colon would split a Linux class path: bash resolves
// each line to its real path before the JVM sees it. An empty entry stays
// empty: to either JVM it is the current folder.
std::string classPathLines(const std::wstring& windowsClassPath)
{
    std::string lines;
    size_t start = 0;
    for (;;) {
        size_t end = windowsClassPath.find(L';', start);
        std::wstring entry = windowsClassPath.substr(start, end == std::wstring::npos ? end : end - start);
        std::string translated = entry.empty() ? std::string() : unixPathOf(entry);
        lines += (translated.empty() ? harness::toUtf8(entry) : translated) + "\n";
        if (end == std::wstring::npos) {
            return lines;
        }
        start = end + 1;
    }
}

// One argument of a java @file: quoted, with the escapes quotes allow.
std::string argumentFileEntry(const std::string& argument)
{
    std::string entry = "\"";
    for (char c : argument) {
        switch (c) {
            case '\\': entry += "\\\\"; break;
            case '"': entry += "\\\""; break;
            case '\n': entry += "\\n"; break;
            case '\r': entry += "\\r"; break;
            case '\t': entry += "\\t"; break;
            default: entry += c;
        }
    }
    return entry + "\"\n";
}

std::string randomToken()
{
    std::string token;
    for (int i = 0; i < 4; ++i) {
        unsigned int value = 0;
        rand_s(&value);
        char part[9];
        wsprintfA(part, "%08x", value);
        token += part;
    }
    return token;
}

// The Linux java the build machine had: "java=<path>" in lib\bridge.cfg, or
// TARVO_BRIDGE_JAVA when set.
std::string configuredJava(const std::wstring& runtimeHome)
{
    wchar_t fromEnvironment[1024];
    DWORD length = GetEnvironmentVariableW(L"TARVO_BRIDGE_JAVA", fromEnvironment, 1024);
    if (length > 0 && length < 1024) {
        return harness::toUtf8(std::wstring(fromEnvironment, length));
    }
    std::wstring configPath = runtimeHome + L"\\lib\\bridge.cfg";
    FileHandle config(CreateFileW(configPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    char buffer[4096];
    DWORD read = 0;
    if (!config || !ReadFile(config.get(), buffer, sizeof buffer, &read, nullptr)) {
        return {};
    }
    std::string text(buffer, read);
    size_t start = text.find("java=");
    if (start == std::string::npos) {
        return {};
    }
    size_t end = text.find_first_of("\r\n", start);
    return text.substr(start + 5, end == std::string::npos ? std::string::npos : end - start - 5);
}

// A file the Linux JVM's start reads, deleted once the JVM has started or failed.
struct StartFile {
    std::wstring windowsPath;
    ~StartFile()
    {
        if (!windowsPath.empty()) {
            DeleteFileW(windowsPath.c_str());
        }
    }
};

bool writeStartFile(StartFile& file, const std::string& text)
{
    wchar_t folder[MAX_PATH];
    wchar_t name[MAX_PATH];
    if (GetTempPathW(MAX_PATH, folder) == 0 || GetTempFileNameW(folder, L"tbr", 0, name) == 0) {
        return false;
    }
    file.windowsPath = name;
    FileHandle handle(CreateFileW(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return handle && WriteFile(handle.get(), text.data(), static_cast<DWORD>(text.size()), &written,
                               nullptr) &&
           written == text.size();
}

// bash connects its standard output and error to the bridge (Wine hands a
// Linux child only one of the standard handles), runs java, and once java
// has ended tells the bridge so: a JVM that refuses its options never
// connects, and a Linux process started from Wine has no handle to wait on.
// Nothing the launcher configured reaches the command line itself; it is all
// in the @file, read as UTF-8.
struct WrapperArguments {
    std::string java;
    std::string argumentFile;
    std::string agentJar;
    std::string classPathFile;  // "-" without a class path option
    std::string fileOptionsFile;  // "-" without options naming files
    std::uint16_t port = 0;
    std::string token;
};

std::wstring wrapperCommandLine(const WrapperArguments& wrapper)
{
    std::string script =
        "exec 1<>/dev/tcp/127.0.0.1/$3 2<>/dev/tcp/127.0.0.1/$3 || exit 1; "
        "printf '%s out\\n' \"$4\" >&1; printf '%s err\\n' \"$4\" >&2; "
        "unset JAVA_TOOL_OPTIONS JDK_JAVA_OPTIONS _JAVA_OPTIONS CLASSPATH; export LC_ALL=C.UTF-8; "
        "options=(\"-Xbootclasspath/a:$(realpath -m -- \"$5\")\"); "
        "if [ \"$6\" != - ]; then cp=; sep=; "
        "while IFS= read -r entry; do "
        "[ -z \"$entry\" ] || entry=$(realpath -m -- \"$entry\"); cp=$cp$sep$entry; sep=:; "
        "done < \"$6\"; options+=(\"-Djava.class.path=$cp\"); fi; "
        "if [ \"$7\" != - ]; then "
        "while IFS= read -r name && IFS= read -r file; do "
        "options+=(\"$name$(realpath -m -- \"$file\")\"); done < \"$7\"; fi; "
        "\"$1\" \"${options[@]}\" \"@$2\"; status=$?; "
        "exec 3<>/dev/tcp/127.0.0.1/$3 2>/dev/null && printf '%s exited %s\\n' \"$4\" \"$status\" >&3";
    // The script is one argument of the Windows command line, which Wine
    // splits as Windows does: its quotes are escaped.
    std::string quoted;
    for (char c : script) {
        quoted += c == '"' ? std::string("\\\"") : std::string(1, c);
    }
    std::string line = "/bin/bash -c \"" + quoted + "\" tarvo-bridge \"" + wrapper.java + "\" \"" +
                       wrapper.argumentFile + "\" " + std::to_string(wrapper.port) + " " + wrapper.token +
                       " \"" + wrapper.agentJar + "\" \"" + wrapper.classPathFile + "\" \"" +
                       wrapper.fileOptionsFile + "\"";
    return harness::fromUtf8(line);
}

// An inheritable copy of one of this process's standard handles: only those
// reach a child, and a GUI program's own need not be inheritable.
KernelHandle inheritableStandardHandle(DWORD which)
{
    HANDLE copy = nullptr;
    HANDLE own = GetStdHandle(which);
    if (own == nullptr || own == INVALID_HANDLE_VALUE ||
        !DuplicateHandle(GetCurrentProcess(), own, GetCurrentProcess(), &copy, 0, TRUE,
                         DUPLICATE_SAME_ACCESS)) {
        return KernelHandle();
    }
    return KernelHandle(copy);
}

bool startWrapper(const std::wstring& commandLine)
{
    KernelHandle input = inheritableStandardHandle(STD_INPUT_HANDLE);
    KernelHandle output = inheritableStandardHandle(STD_OUTPUT_HANDLE);
    KernelHandle error = inheritableStandardHandle(STD_ERROR_HANDLE);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input.get();
    startup.hStdOutput = output.get();
    startup.hStdError = error.get();
    PROCESS_INFORMATION process{};
    std::wstring writable = commandLine;
    if (!CreateProcessW(L"Z:\\bin\\bash", writable.data(), nullptr, nullptr, TRUE, 0, nullptr,
                        nullptr, &startup, &process)) {
        return false;
    }
    // Wine gives no usable handles for a Linux process; these are closed all the same.
    KernelHandle processHandle(process.hProcess);
    KernelHandle threadHandle(process.hThread);
    return true;
}

Socket listenOnLoopback(std::uint16_t& port)
{
    Socket listener(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int size = sizeof address;
    if (!listener || bind(listener.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener.get(), 4) != 0 ||
        getsockname(listener.get(), reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        return Socket();
    }
    port = ntohs(address.sin_port);
    return listener;
}

std::string readLine(SOCKET socket)
{
    std::string line;
    char c = 0;
    while (line.size() < 256 && recv(socket, &c, 1, 0) == 1 && c != '\n') {
        line += c;
    }
    return line;
}

// The drive letters and the Linux folders they stand for, so that the agent
// can turn the Windows paths it is given into Linux ones.
Message driveMap()
{
    Message map;
    std::vector<std::pair<char, std::string>> drives;
    DWORD letters = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        if ((letters & (1u << i)) == 0) {
            continue;
        }
        wchar_t root[] = {static_cast<wchar_t>(L'A' + i), L':', L'\\', 0};
        std::string linux = unixPathOf(root);
        if (!linux.empty()) {
            drives.emplace_back(static_cast<char>('A' + i), linux);
        }
    }
    map.i32(static_cast<std::int32_t>(drives.size()));
    for (const auto& [letter, linux] : drives) {
        map.byte(static_cast<std::uint8_t>(letter));
        map.text(linux);
    }
    return map;
}

// What a JVM that ended before its agent connected would have returned, by
// what it said: HotSpot refuses an option it does not know at all with
// JNI_ERR, and an unknown -XX: flag or a bad value with JNI_EINVAL.
jint refusalCode(const std::string& refusal)
{
    if (refusal.find("Unrecognized option:") != std::string::npos) {
        return JNI_ERR;
    }
    if (refusal.find("Unrecognized VM option") != std::string::npos ||
        refusal.find("Invalid") != std::string::npos ||
        refusal.find("Improperly specified") != std::string::npos) {
        return JNI_EINVAL;
    }
    return JNI_ERR;
}

}  // namespace

std::string unixPathOf(const std::wstring& windowsPath)
{
    using UnixFileName = char*(CDECL*)(LPCWSTR);
    UnixFileName unixFileName = nullptr;
    if (!lookUp(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name", unixFileName)) {
        return {};
    }
    char* unix = unixFileName(windowsPath.c_str());
    if (unix == nullptr) {
        return {};
    }
    std::string path(unix);
    HeapFree(GetProcessHeap(), 0, unix);
    return path;
}

StartedJvm startLinuxJvm(const std::wstring& runtimeHome, const std::vector<std::string>& options,
                         bool ignoreUnrecognized)
{
    StartedJvm started;
    std::string java = configuredJava(runtimeHome);
    if (java.empty() || GetFileAttributesW(windowsViewOf(java).c_str()) == INVALID_FILE_ATTRIBUTES) {
        sayOnStandardError("no Linux JDK 17 to run (install openjdk-17-jdk; looked for \"" + java + "\")");
        return started;
    }
    std::uint16_t port = 0;
    Socket listener = listenOnLoopback(port);
    if (!listener) {
        sayOnStandardError("cannot listen on the loopback interface");
        return started;
    }
    started.token = randomToken();

    // Lines end as on Windows, unless the product says otherwise (the last
    // definition counts). The class path goes its own way (see
    // classPathLines); the last one given counts too.
    std::vector<std::string> arguments = {"-Dline.separator=\r\n"};
    std::optional<std::string> classPath;
    std::string fileOptions;
    for (const std::string& option : options) {
        std::wstring wide = wideOfAnsi(option);
        if (wide.starts_with(kClassPathOption)) {
            classPath = classPathLines(wide.substr(kClassPathOption.size()));
        } else if (std::optional<std::string> lines = fileOptionLines(wide)) {
            fileOptions += *lines;
        } else {
            arguments.push_back(harness::toUtf8(wide));
        }
    }
    if (ignoreUnrecognized) {
        arguments.push_back("-XX:+IgnoreUnrecognizedVMOptions");
    }
    // The agent comes from the boot class path, so the program's class path
    // stays the launcher's; it needs the launcher helper's package opened,
    // and java.lang to install its exit watch quietly.
    arguments.push_back("--add-opens=java.base/sun.launcher=ALL-UNNAMED");
    arguments.push_back("--add-opens=java.base/java.lang=ALL-UNNAMED");
    arguments.push_back("-Djava.security.manager=allow");
    arguments.push_back("tarvo.bridge.Agent");
    arguments.push_back(std::to_string(port));
    arguments.push_back(started.token);

    std::string argumentText;
    for (const std::string& argument : arguments) {
        argumentText += argumentFileEntry(argument);
    }
    StartFile argumentFile;
    StartFile classPathFile;
    StartFile fileOptionsFile;
    if (!writeStartFile(argumentFile, argumentText) ||
        (classPath && !writeStartFile(classPathFile, *classPath)) ||
        (!fileOptions.empty() && !writeStartFile(fileOptionsFile, fileOptions))) {
        sayOnStandardError("cannot write the JVM's start files");
        return started;
    }
    WrapperArguments wrapper{java,
                             unixPathOf(argumentFile.windowsPath),
                             unixPathOf(runtimeHome + L"\\lib\\tarvo-bridge-agent.jar"),
                             classPath ? unixPathOf(classPathFile.windowsPath) : std::string("-"),
                             fileOptions.empty() ? std::string("-")
                                                 : unixPathOf(fileOptionsFile.windowsPath),
                             port,
                             started.token};
    if (!startWrapper(wrapperCommandLine(wrapper))) {
        sayOnStandardError("cannot start /bin/bash for the Linux JVM");
        return started;
    }

    ULONGLONG deadline = GetTickCount64() + kStartLimitMilliseconds;
    while (GetTickCount64() < deadline) {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(listener.get(), &readable);
        timeval slice{0, 200000};
        if (select(0, &readable, nullptr, nullptr, &slice) <= 0) {
            continue;
        }
        Socket peer(accept(listener.get(), nullptr, nullptr));
        if (!peer) {
            continue;
        }
        std::string line = readLine(peer.get());
        if (!line.starts_with(started.token + " ")) {
            continue;
        }
        std::string said = line.substr(started.token.size() + 1);
        if (said == "out" || said == "err") {
            forwardToStandardHandle(std::move(peer), said == "out" ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
            continue;
        }
        if (said.starts_with("exited ")) {
            // The refusal itself went to the standard error stream.
            drainForwarding();
            started.result = refusalCode(stopRecording(STD_ERROR_HANDLE));
            return started;
        }
        if (said.starts_with("agent ")) {
            started.agentPort = static_cast<std::uint16_t>(std::atoi(said.c_str() + 6));
            if (!sendAll(peer.get(), driveMap().bytes())) {
                break;
            }
            BOOL noDelay = TRUE;
            setsockopt(peer.get(), IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay),
                       sizeof noDelay);
            started.control = std::move(peer);
            stopRecording(STD_ERROR_HANDLE);
            started.result = JNI_OK;
            return started;
        }
    }
    sayOnStandardError("the Linux JVM did not start within a minute");
    return started;
}

}  // namespace bridge
