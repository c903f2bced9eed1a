// Fills a JNI function table with stubs, one per slot, that report the slot
// by name through the runtime's own failure function and never return. Each
// test runtime then installs the functions it implements over them. A stub
// may stand for any signature, even on x86 where the callee would have to
// clean up a stack it knows nothing of, because it never returns.
#pragma once

#include <windows.h>
// After windows.h: jni.h takes its machine types from include/jni_md.h.
#include <jni.h>

#include <cstring>
#include <iterator>
#include <utility>

#include "support/test_jvm/jni_function_names.h"

namespace harness {

using SlotFailure = void (*)(const char* functionName);

namespace slot_stubs {

inline constexpr size_t kSlotCount = sizeof(JNINativeInterface_) / sizeof(void*);
static_assert(std::size(test_jvm::kJniFunctionNames) == kSlotCount,
              "the slot names must match the JNI function table of jni.h");

template <SlotFailure Fail, size_t Slot>
void JNICALL unimplementedSlot()
{
    Fail(test_jvm::kJniFunctionNames[Slot]);
}

using SlotFunction = void(JNICALL*)();

template <SlotFailure Fail, size_t... Slots>
void fill(JNINativeInterface_& table, std::index_sequence<Slots...>)
{
    const SlotFunction stubs[] = {unimplementedSlot<Fail, Slots>...};
    static_assert(sizeof(SlotFunction) == sizeof(void*));
    // The table is a row of pointers; the stubs are written slot by slot.
    std::memcpy(static_cast<void*>(&table), stubs, sizeof stubs);
}

}  // namespace slot_stubs

// Every slot of the table becomes a stub that calls Fail with its name.
template <SlotFailure Fail>
void fillWithUnimplementedStubs(JNINativeInterface_& table)
{
    slot_stubs::fill<Fail>(table, std::make_index_sequence<slot_stubs::kSlotCount>());
}

}  // namespace harness
