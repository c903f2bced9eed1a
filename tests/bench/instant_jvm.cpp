// A Java runtime's jvm.dll that ends the process as soon as the launcher asks
// it to create the VM: with it, a start times only the launcher's own work
// before the Java runtime (the settings, the runtime search, the library
// load). Its defaults entry answers as a runtime does.
#include <windows.h>

#include <jni.h>

extern "C" {

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
