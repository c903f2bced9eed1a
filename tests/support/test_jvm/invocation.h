// The JNI invocation side of the test runtime: creating the one VM from the
// launcher's options, and the JavaVM functions (destroy, attach, detach,
// GetEnv).
#pragma once

#include <windows.h>
// After windows.h: jni.h takes its machine types from include/jni_md.h.
#include <jni.h>

namespace test_jvm {

// JNI_CreateJavaVM: traces the request, then creates the VM unless the test
// asked for a failure, a VM exists already, or an option is unknown.
jint createJavaVm(JavaVM** javaVm, void** environment, void* initArgs);

// JNI_GetCreatedJavaVMs.
jint createdJavaVms(JavaVM** javaVms, jsize bufferLength, jsize* count);

}  // namespace test_jvm
