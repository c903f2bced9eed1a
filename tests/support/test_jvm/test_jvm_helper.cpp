#include "support/test_jvm/test_jvm_helper.h"

// The linker's name for the start of this module's image, which is its handle.
extern "C" IMAGE_DOS_HEADER __ImageBase;

HMODULE testJvmHelperModule()
{
    return reinterpret_cast<HMODULE>(&__ImageBase);
}
