// The JNI function table behind every JNIEnv of the test runtime. Every slot
// holds a function: those the runtime implements, and for all others a stub
// that names the slot in the trace and ends the process with 99. The stub
// never returns, so it may stand for any signature, even on x86 where the
// callee would have to clean up a stack it knows nothing of.
#include "support/jni_slot_stubs.h"
#include "support/test_jvm/fatal.h"
#include "support/test_jvm/jni_tables.h"

namespace test_jvm {

namespace {

void reportUnimplemented(const char* functionName) { failUnimplemented(functionName); }

JNINativeInterface_ buildTable()
{
    JNINativeInterface_ table{};
    harness::fillWithUnimplementedStubs<&reportUnimplemented>(table);
    installObjectFunctions(table);
    installStringAndArrayFunctions(table);
    installCallFunctions(table);
    return table;
}

}  // namespace

const JNINativeInterface_* nativeInterface()
{
    static const JNINativeInterface_ table = buildTable();
    return &table;
}

}  // namespace test_jvm
