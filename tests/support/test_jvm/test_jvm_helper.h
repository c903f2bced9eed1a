// The helper library the test jvm.dll imports. It stands for the libraries a
// real runtime keeps in its bin folder and its JVM library depends on (the C
// runtime of older JREs): it lies only in <home>\bin, so the test jvm.dll
// loads only when that folder is searched for its dependencies.
#pragma once

#include <windows.h>

#ifdef TEST_JVM_HELPER_BUILD
#define TEST_JVM_HELPER_API __declspec(dllexport)
#else
#define TEST_JVM_HELPER_API __declspec(dllimport)
#endif

// The helper's own module, so that the trace can tell where it was found.
extern "C" TEST_JVM_HELPER_API HMODULE testJvmHelperModule();
