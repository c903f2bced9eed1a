#include "support/test_jvm/in_process_vm.h"

#include "support/test_jvm/test_runtime.h"
#include "vm/jvm_library.h"

namespace harness {

std::optional<InProcessTestVm> createInProcessTestVm(const std::wstring& home)
{
    std::optional<std::wstring> jvmLibrary = layOutTestRuntime(home, TestJvm::complete);
    if (!jvmLibrary) {
        return std::nullopt;
    }
    JvmEntryPoints entries;
    if (!bindJvmLibrary(nullptr, *jvmLibrary, entries)) {
        return std::nullopt;
    }
    JavaVMInitArgs initArgs{JNI_VERSION_1_2, 0, nullptr, JNI_FALSE};
    InProcessTestVm vm;
    void* environment = nullptr;
    if (entries.createJavaVmEntry(&vm.javaVm, &environment, &initArgs) != JNI_OK) {
        return std::nullopt;
    }
    vm.environment = static_cast<JNIEnv*>(environment);
    vm.bootClassFinder = entries.bootClassFinderEntry;
    return vm;
}

}  // namespace harness
