// Loading the chosen runtime's JVM library into the launcher's process and
// finding the entry points the VM host calls.
#pragma once

#include <windows.h>

#include <string>

#include "vm/jvm_entry_points.h"

// Loads the JVM library at the full path given, with the runtime's bin folder
// among the folders its own dependencies are searched in, and fills the
// entries. JNI_CreateJavaVM and JNI_GetDefaultJavaVMInitArgs are required;
// JVM_FindClassFromBootLoader stays empty when the runtime lacks it. Shows the
// message for a library that cannot be loaded or lacks a required entry point
// itself, with owner as the box's owner.
[[nodiscard]] bool bindJvmLibrary(HWND owner, const std::wstring& jvmLibraryPath,
                                  JvmEntryPoints& entries);
