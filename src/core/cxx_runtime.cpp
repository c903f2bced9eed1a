// The few pieces of the C++ runtime that the shipped executables define for
// themselves. The launcher is built without exceptions: the library's own
// versions of these throw, and throwing brings in the exception machinery,
// the library's exception classes with their strings, and the POSIX thread
// layer it locks with, which together were more than a third of the file.
//
// The launcher never recovers from running out of memory or from a broken
// library precondition: it ends at once, as an uncaught exception ended it
// before, through std::abort.
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <bits/functexcept.h>

namespace {

[[noreturn]] void endOnFatalError() noexcept
{
    std::abort();
}

void* allocateOrEnd(std::size_t size) noexcept
{
    void* block = std::malloc(size != 0 ? size : 1);
    if (block == nullptr) {
        endOnFatalError();
    }
    return block;
}

// One lock for the first run of every function-local static's initializer.
// A critical section may be entered again by its owner, so an initializer
// that reaches another static does not block itself; another thread waits
// until the first initializer has finished.
CRITICAL_SECTION theStaticInitializationLock;

BOOL CALLBACK initializeStaticInitializationLock(PINIT_ONCE, PVOID, PVOID*)
{
    InitializeCriticalSection(&theStaticInitializationLock);
    return TRUE;
}

CRITICAL_SECTION* staticInitializationLock() noexcept
{
    static INIT_ONCE once = INIT_ONCE_STATIC_INIT;
    InitOnceExecuteOnce(&once, initializeStaticInitializationLock, nullptr, nullptr);
    return &theStaticInitializationLock;
}

// The first byte of a guard is non-zero once its static is initialized.
bool isInitialized(const std::uint64_t* guard) noexcept
{
    return __atomic_load_n(reinterpret_cast<const unsigned char*>(guard), __ATOMIC_ACQUIRE) != 0;
}

}  // namespace

void* operator new(std::size_t size)
{
    return allocateOrEnd(size);
}

void* operator new[](std::size_t size)
{
    return allocateOrEnd(size);
}

void operator delete(void* block) noexcept
{
    std::free(block);
}

void operator delete[](void* block) noexcept
{
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    std::free(block);
}

void operator delete[](void* block, std::size_t) noexcept
{
    std::free(block);
}

// What the library's inline code calls where it would throw: a length beyond
// what a container can hold, an index out of range, an empty std::function.
namespace std {
void __throw_bad_alloc()
{
    endOnFatalError();
}
void __throw_bad_array_new_length()
{
    endOnFatalError();
}
void __throw_length_error(const char*)
{
    endOnFatalError();
}
void __throw_logic_error(const char*)
{
    endOnFatalError();
}
void __throw_out_of_range(const char*)
{
    endOnFatalError();
}
void __throw_out_of_range_fmt(const char*, ...)
{
    endOnFatalError();
}
void __throw_invalid_argument(const char*)
{
    endOnFatalError();
}
void __throw_bad_function_call()
{
    endOnFatalError();
}
}  // namespace std

// The library's default handler for std::terminate prints the exception's
// name, demangled, to standard error: the demangler alone is about 45 KB, and
// the launcher has no standard error to print to.
namespace __gnu_cxx {
void __verbose_terminate_handler()
{
    endOnFatalError();
}
}  // namespace __gnu_cxx

// Thread-safe initialization of function-local statics, on Windows' own
// locks rather than the library's, which are built on the POSIX thread layer.
extern "C" int __cxa_guard_acquire(std::uint64_t* guard)
{
    if (isInitialized(guard)) {
        return 0;
    }
    EnterCriticalSection(staticInitializationLock());
    if (isInitialized(guard)) {
        LeaveCriticalSection(staticInitializationLock());
        return 0;
    }
    return 1;
}

extern "C" void __cxa_guard_release(std::uint64_t* guard) noexcept
{
    __atomic_store_n(reinterpret_cast<unsigned char*>(guard), 1, __ATOMIC_RELEASE);
    LeaveCriticalSection(staticInitializationLock());
}

extern "C" void __cxa_guard_abort(std::uint64_t*) noexcept
{
    LeaveCriticalSection(staticInitializationLock());
}
