// Reads the names of the DLLs an executable imports from its PE file bytes:
// the import directory and the delay-load directory. No Windows header: the
// parser is built natively too, where the sanitizers watch its bounds checks.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace harness {

// Every DLL name in file order, imports first, then delay-loaded ones; nothing
// when the bytes are not a well-formed PE32 or PE32+ image.
[[nodiscard]] std::optional<std::vector<std::string>> importedDllNames(
    std::span<const std::uint8_t> image);

}  // namespace harness
