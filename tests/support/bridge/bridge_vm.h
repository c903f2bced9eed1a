// The bridge runtime's VM and its threads: one JNIEnv, with its own
// connection to the agent, per attached Windows thread.
#pragma once

#include <winsock2.h>
#include <windows.h>
// After windows.h: jni.h takes its machine types from include/jni_md.h.
#include <jni.h>

#include <string>

#include "support/bridge/connection.h"

namespace bridge {

// A JNIEnv of the bridge: JNI hands out a pointer to the function table
// pointer, which is this structure's first member.
struct ThreadEnv {
    const JNINativeInterface_* functions;
    Connection connection;
    bool exceptionPending = false;
};

inline ThreadEnv& threadEnvOf(JNIEnv* environment)
{
    return *reinterpret_cast<ThreadEnv*>(environment);
}

const JNINativeInterface_* nativeInterface();
JavaVM* bridgeVm();
// JVM_FindClassFromBootLoader: the class from the boot class loader, or none.
jclass findBootClass(JNIEnv* environment, const char* name);

// Connects the calling thread to the agent under the name; none when the
// agent cannot be reached.
ThreadEnv* attachThread(const std::string& name, bool daemon);

}  // namespace bridge
