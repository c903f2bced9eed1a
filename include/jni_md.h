// Machine-dependent JNI types for Windows (both x86 and x86-64), picked up by
// the JDK's jni.h. jint is a 32-bit long on Windows.
#ifndef TARVO_JNI_MD_H
#define TARVO_JNI_MD_H

#ifndef JNIEXPORT
#define JNIEXPORT __declspec(dllexport)
#endif
#define JNIIMPORT __declspec(dllimport)
#define JNICALL __stdcall

typedef long jint;
typedef long long jlong;
typedef signed char jbyte;

#endif
