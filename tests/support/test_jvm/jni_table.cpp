// The JNI function table behind every JNIEnv of the test runtime. Every slot
// holds a function: those the runtime implements, and for all others a stub
// that names the slot in the trace and ends the process with 99. The stub
// never returns, so it may stand for any signature, even on x86 where the
// callee would have to clean up a stack it knows nothing of.
#include <cstring>
#include <utility>

#include "support/test_jvm/fatal.h"
#include "support/test_jvm/jni_function_names.h"
#include "support/test_jvm/jni_tables.h"

namespace test_jvm {

namespace {

constexpr size_t kSlotCount = sizeof(JNINativeInterface_) / sizeof(void*);
static_assert(std::size(kJniFunctionNames) == kSlotCount,
              "the slot names must match the JNI function table of jni.h");

template <size_t Slot>
void JNICALL unimplementedSlot()
{
    failUnimplemented(kJniFunctionNames[Slot]);
}

using SlotFunction = void(JNICALL*)();

template <size_t... Slots>
void fillWithStubs(JNINativeInterface_& table, std::index_sequence<Slots...>)
{
    const SlotFunction stubs[] = {unimplementedSlot<Slots>...};
    static_assert(sizeof(SlotFunction) == sizeof(void*));
    // The table is a row of pointers; the stubs are written slot by slot.
    std::memcpy(static_cast<void*>(&table), stubs, sizeof stubs);
}

JNINativeInterface_ buildTable()
{
    JNINativeInterface_ table{};
    fillWithStubs(table, std::make_index_sequence<kSlotCount>());
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
