// What closes each kind of kernel and registry handle, and what "empty" means
// for it: every handle the launcher opens is held by one of these owners.
#pragma once

#include <windows.h>

#include <cstdint>

#include "support/owner.h"

// INVALID_HANDLE_VALUE as a number: the value CreateFileW and FindFirstFileW
// return on failure.
inline constexpr std::intptr_t kInvalidHandleNumber = -1;

// A process, thread, event, mutex, mapping or job: the functions that make
// them fail with nullptr.
using KernelHandle = Owner<HANDLE, &CloseHandle>;
// A file from CreateFileW, which fails with INVALID_HANDLE_VALUE.
using FileHandle = Owner<HANDLE, &CloseHandle, kInvalidHandleNumber>;
// A search from FindFirstFileW, which fails with INVALID_HANDLE_VALUE.
using FindHandle = Owner<HANDLE, &FindClose, kInvalidHandleNumber>;
// A mutex this thread holds, given back with ReleaseMutex; the handle itself
// stays with its KernelHandle, which must outlive this owner.
using HeldMutex = Owner<HANDLE, &ReleaseMutex>;
// An open registry key. Never given a predefined root key such as
// HKEY_LOCAL_MACHINE.
using RegistryKey = Owner<HKEY, &RegCloseKey>;
// A view of a file mapping, typed as what the mapping holds; MapViewOfFile
// fails with nullptr.
template <typename Mapped>
using MappedView = Owner<Mapped*, &UnmapViewOfFile>;
