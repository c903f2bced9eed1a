// The bridge runtime's costs: one JNI round trip to the Linux JVM (the
// median of 1,000), and a hello-world product's start through the launcher
// and the bridge until its main runs. It measures, it does not judge.
//   bridge_bench <bridge jvm.dll> <hello product.exe> <starts>
#include <windows.h>
// After windows.h: jni.h takes its machine types from include/jni_md.h.
#include <jni.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "bench/bench_figures.h"
#include "bench/hello_start.h"
#include "support/loaded_library.h"
#include "support/process_runner.h"
#include "support/sandbox.h"
#include "support/test_paths.h"

using namespace harness;

namespace {

constexpr DWORD kStartLimitMilliseconds = 60000;
constexpr int kRoundTrips = 1000;

// Milliseconds from process creation until the program's main began; none
// when the start failed.
std::optional<double> timeToMain(const std::wstring& product, const std::wstring& outputFile)
{
    ProcessStart start(product);
    start.currentFolder = folderOf(product);
    start.outputFile = outputFile;
    return helloTimeToMain(start, kStartLimitMilliseconds);
}

// Microseconds of each of 1,000 IsSameObject calls on two different strings:
// a call the bridge cannot answer without the JVM.
std::optional<std::vector<double>> timeRoundTrips(const std::wstring& jvmLibrary)
{
    HMODULE jvm = LoadLibraryW(jvmLibrary.c_str());
    using CreateJavaVm = jint(JNICALL*)(JavaVM**, void**, void*);
    CreateJavaVm create = nullptr;
    if (jvm == nullptr || !lookUp(jvm, "JNI_CreateJavaVM", create)) {
        return std::nullopt;
    }
    JavaVMInitArgs arguments{};
    arguments.version = JNI_VERSION_1_2;
    JavaVM* vm = nullptr;
    JNIEnv* environment = nullptr;
    if (create(&vm, reinterpret_cast<void**>(&environment), &arguments) != JNI_OK) {
        return std::nullopt;
    }
    jstring first = environment->NewStringUTF("first");
    jstring second = environment->NewStringUTF("second");
    std::vector<double> microseconds;
    for (int i = 0; i < kRoundTrips; ++i) {
        double begin = nowMicroseconds();
        environment->IsSameObject(first, second);
        microseconds.push_back(nowMicroseconds() - begin);
    }
    return microseconds;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 4) {
        std::fwprintf(stderr, L"usage: bridge_bench <bridge jvm.dll> <hello product.exe> <starts>\n");
        return 2;
    }
    const int starts = std::max(1, static_cast<int>(std::wcstol(argv[3], nullptr, 10)));
    std::wstring outputFile = folderOf(argv[2]) + L"\\main-output.txt";
    // One start first, uncounted: it fills the system's file cache.
    if (!timeToMain(argv[2], outputFile)) {
        return 1;
    }
    std::vector<double> toMain;
    for (int i = 0; i < starts; ++i) {
        std::optional<double> milliseconds = timeToMain(argv[2], outputFile);
        if (!milliseconds) {
            return 1;
        }
        toMain.push_back(*milliseconds);
    }
    std::optional<std::vector<double>> roundTrips = timeRoundTrips(argv[1]);
    if (!roundTrips) {
        std::fwprintf(stderr, L"bridge_bench: the bridge's JVM did not start\n");
        return 1;
    }
    std::wprintf(L"bridge: hello-world through the launcher, process creation to main: median %.1f ms "
                 L"(%d starts)\n",
                 median(toMain), starts);
    std::wprintf(L"bridge: JNI round trip (IsSameObject): median %.0f us of %d calls\n",
                 median(*roundTrips), kRoundTrips);
    // The Linux JVM follows this process when it ends.
    std::fflush(stdout);
    ExitProcess(0);
}
