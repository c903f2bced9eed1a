// The two function tables the test runtime hands out: the JNI function table
// behind every JNIEnv and the invocation interface behind its JavaVM.
#pragma once

#include <windows.h>
// After windows.h: jni.h takes its machine types from include/jni_md.h.
#include <jni.h>

namespace test_jvm {

const JNINativeInterface_* nativeInterface();
const JNIInvokeInterface_* invokeInterface();

// Parts of the native table, filled by the files that implement them.
void installObjectFunctions(JNINativeInterface_& table);
void installStringAndArrayFunctions(JNINativeInterface_& table);
void installCallFunctions(JNINativeInterface_& table);

}  // namespace test_jvm
