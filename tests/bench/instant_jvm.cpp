// A Java runtime's jvm.dll that ends the process as soon as the launcher asks
// it to create the VM: with it, a start times only the launcher's own work
// before the Java runtime (the settings, the runtime search, the library
// load). Its defaults entry answers as a runtime does. Built without the C
// runtime, whose start-up would be counted as the launcher's.
//
// When TARVO_BENCH_LOAD_FIGURE names a file, the library writes the process's
// peak working set into it, in bytes, as it is loaded: what the launcher took
// before its Java runtime.
#include <windows.h>
// psapi.h needs the types windows.h declares.
#include <psapi.h>

#include <jni.h>

namespace {

void writePeakWorkingSet()
{
    wchar_t path[MAX_PATH];
    DWORD length = GetEnvironmentVariableW(L"TARVO_BENCH_LOAD_FIGURE", path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return;
    }
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) {
        return;
    }
    char digits[24];
    int start = sizeof digits;
    unsigned long long value = counters.PeakWorkingSetSize;
    do {
        digits[--start] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    DWORD written = 0;
    WriteFile(file, digits + start, static_cast<DWORD>(sizeof digits - start), &written, nullptr);
    CloseHandle(file);
}

}  // namespace

extern "C" {

// The library's entry: there is no C runtime to start.
BOOL WINAPI InstantJvmEntry(HINSTANCE, DWORD reason, void*)
{
    if (reason == DLL_PROCESS_ATTACH) {
        writePeakWorkingSet();
    }
    return TRUE;
}

JNIEXPORT jint JNICALL JNI_GetDefaultJavaVMInitArgs(void*)
{
    return JNI_OK;
}

JNIEXPORT jint JNICALL JNI_CreateJavaVM(JavaVM**, void**, void*)
{
    ExitProcess(0);
}

JNIEXPORT jint JNICALL JNI_GetCreatedJavaVMs(JavaVM**, jsize, jsize* count)
{
    if (count != nullptr) {
        *count = 0;
    }
    return JNI_OK;
}

}  // extern "C"
