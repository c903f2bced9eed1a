#include "vm/jvm_library.h"

#include <cstdint>

#include "resources/resource_ids.h"
#include "support/dll_search_folder.h"
#include "support/loaded_library.h"
#include "support/runtime_bin_folder.h"
#include "ui/error_reporter.h"

namespace {

void showMissingEntryPoint(HWND owner, DWORD error)
{
    ErrorReporter::showErrorWithCode(owner, ErrorReporter::loadText(IDS_WINDOWS_ERROR),
                                     ErrorReporter::loadText(IDS_CREATE_JAVA_VM_MISSING),
                                     static_cast<std::int32_t>(error));
}

}  // namespace

bool bindJvmLibrary(HWND owner, const std::wstring& jvmLibraryPath, JvmEntryPoints& entries)
{
    // The runtime's own DLLs (java.dll and the others in bin) are found there
    // when the JVM library or the VM loads them.
    addDllSearchFolder(runtimeBinFolder(jvmLibraryPath));

    // The library is never freed: the entry points, and the VM threads that run
    // its code, must stay valid until the process ends, and a JVM cannot be
    // unloaded anyway. So the handle is not kept either.
    HMODULE library = loadLibraryWithDependencies(jvmLibraryPath);
    if (library == nullptr) {
        DWORD error = GetLastError();
        ErrorReporter::showErrorWithCode(owner, ErrorReporter::loadText(IDS_JVM_LIBRARY_NOT_LOADED),
                                         jvmLibraryPath, static_cast<std::int32_t>(error));
        return false;
    }

    if (!lookUp(library, "JNI_CreateJavaVM", entries.createJavaVmEntry)) {
        DWORD error = GetLastError();
        showMissingEntryPoint(owner, error);
        return false;
    }
    if (!lookUp(library, "JNI_GetDefaultJavaVMInitArgs", entries.defaultInitArgsEntry)) {
        DWORD error = GetLastError();
        showMissingEntryPoint(owner, error);
        return false;
    }
    // Older runtimes lack it; the main class is then found with FindClass.
    (void)lookUp(library, "JVM_FindClassFromBootLoader", entries.bootClassFinderEntry);
    return true;
}
