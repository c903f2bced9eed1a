// The test Java runtime's VM created inside the test program, for tests that
// call JNI themselves.
#pragma once

#include <jni.h>

#include <optional>
#include <string>

#include "support/sandbox.h"
#include "vm/jvm_entry_points.h"

namespace harness {

struct InProcessTestVm {
    JavaVM* javaVm = nullptr;
    JNIEnv* environment = nullptr;
    BootClassFinderFunction bootClassFinder = nullptr;
};

// Lays out the complete test runtime under home, binds it with the launcher's
// own binding and creates its VM without options. The library stays loaded
// and the VM lives until the process ends: a process holds one VM. None when
// a step fails.
std::optional<InProcessTestVm> createInProcessTestVm(const std::wstring& home);

// The test VM in a sandbox of its own: the runtime laid out under "jre", its
// trace going to "trace.txt" there. The sandbox is left behind, since the VM
// lives until the process ends.
struct TracedInProcessTestVm {
    InProcessTestVm vm;
    ProductSandbox* sandbox = nullptr;
    std::wstring tracePath;
};
std::optional<TracedInProcessTestVm> createTracedInProcessTestVm();

}  // namespace harness
