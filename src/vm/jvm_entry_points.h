// The JVM library's entry points the launcher calls, declared once.
#pragma once

#include <jni.h>

#include <cstdarg>
#include <cstdio>

using CreateJavaVmFunction = jint(JNICALL*)(JavaVM** javaVm, void** environment, void* initArgs);
using DefaultInitArgsFunction = jint(JNICALL*)(void* initArgs);
using BootClassFinderFunction = jclass(JNICALL*)(JNIEnv* environment, const char* className);

// The initialization record of JNI 1.1. Only JNI_GetDefaultJavaVMInitArgs still
// takes it, and the launcher reads nothing but the VM's default thread stack
// size from it.
struct Jdk11InitArgs {
    jint version;
    char** properties;
    jint checkSource;
    jint nativeStackSize;
    jint javaStackSize;
    jint minHeapSize;
    jint maxHeapSize;
    jint verifyMode;
    char* classpath;
    jint(JNICALL* vfprintf)(FILE* stream, const char* format, va_list arguments);
    void(JNICALL* exit)(jint code);
    void(JNICALL* abort)();
    jint enableClassGC;
    jint enableVerboseGC;
    jint disableAsyncGC;
    jint verbose;
    jboolean debugging;
    jint debugPort;
};

constexpr jint kJniVersion11 = 0x00010001;

struct JvmEntryPoints {
    CreateJavaVmFunction createJavaVmEntry = nullptr;
    DefaultInitArgsFunction defaultInitArgsEntry = nullptr;
    BootClassFinderFunction bootClassFinderEntry = nullptr;
};
