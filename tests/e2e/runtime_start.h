// One start of a product whose Java program ends at once, seen from the test
// runtime's side: which JVM libraries were loaded, or whether the
// runtime-not-found dialog came instead (it is cancelled, the start then ends
// with -1).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "support/process_runner.h"
#include "support/sandbox.h"

namespace harness {

struct RuntimeStart {
    std::vector<std::wstring> loadedLibraries;
    bool dialogShown = false;
};

// Starts the sandbox's launcher in its folder with the environment given, to
// which the test runtime's trace file is added, and waits for it to end.
RuntimeStart startProductForItsRuntime(const ProductSandbox& sandbox,
                                       EnvironmentBlock environment);

// The test runtime built for x86, from the paired 32-bit tree, laid out in
// the home folder; its JVM library's path, or nothing when this tree was
// configured without the 32-bit build.
std::optional<std::wstring> layOutX86TestRuntime(const std::wstring& home);

}  // namespace harness
