// libFuzzer harness for tarvo-brand's PE and resource directory reader: any
// bytes are read or refused with RefusedInput, never read out of bounds, and
// a tree that was read lays out as a section that reads back the same.
#include <cstddef>
#include <cstdint>

#include "brand/pe_file.h"
#include "brand/resource_tree.h"
#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ByteView file(data, size);
    try {
        PeLayout layout = readPeLayout(file);
        ResourceTree tree = readResourceTree(file, layout);
        constexpr std::uint32_t address = 0x10000;
        Bytes section = layOutResourceSection(tree, address);
        FUZZ_CHECK(readResourceSection(section, address) == tree);
    } catch (const RefusedInput&) {
    }
    return 0;
}
