#include "support/test_jvm/in_process_vm.h"

#include "support/test_jvm/test_jvm_variables.h"
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

std::optional<TracedInProcessTestVm> createTracedInProcessTestVm()
{
    TracedInProcessTestVm traced;
    traced.sandbox = new ProductSandbox();
    if (!traced.sandbox->createEmpty()) {
        return std::nullopt;
    }
    traced.tracePath = traced.sandbox->pathOf(L"trace.txt");
    SetEnvironmentVariableW(test_jvm::kTraceVariable, traced.tracePath.c_str());
    std::optional<InProcessTestVm> vm = createInProcessTestVm(traced.sandbox->pathOf(L"jre"));
    if (!vm) {
        return std::nullopt;
    }
    traced.vm = *vm;
    return traced;
}

}  // namespace harness
