// The one owner every resource of the launcher is held by: a handle, key,
// library, view, GDI object or shell allocation is released exactly once, by
// the function its kind names, when its owner ends or lets go of it.
#pragma once

#include <cstdint>
#include <type_traits>
#include <utility>

// Releases a value of T exactly once with Close; Invalid is the value that
// means "nothing owned" and is never closed. A pointer-like T may name Invalid
// as a number, for the values Windows spells as a cast (INVALID_HANDLE_VALUE
// is -1), which cannot be template arguments as pointers.
template <typename T, auto Close, auto Invalid = T{}>
class Owner {
public:
    Owner() noexcept = default;
    explicit Owner(T value) noexcept : value_(value) {}
    ~Owner() { closeHeld(); }

    Owner(Owner&& other) noexcept : value_(other.release()) {}
    Owner& operator=(Owner&& other) noexcept
    {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }
    Owner(const Owner&) = delete;
    Owner& operator=(const Owner&) = delete;

    // Closes what was held and holds the value given instead.
    void reset(T value = empty()) noexcept
    {
        closeHeld();
        value_ = value;
    }
    // Gives up the value without closing it; the owner is empty afterwards.
    [[nodiscard]] T release() noexcept { return std::exchange(value_, empty()); }
    T get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return !(value_ == empty()); }

    // The value that means "nothing owned".
    static T empty() noexcept
    {
        if constexpr (std::is_pointer_v<T> && std::is_integral_v<decltype(Invalid)>) {
            return reinterpret_cast<T>(static_cast<std::intptr_t>(Invalid));
        } else {
            return T(Invalid);
        }
    }

private:
    void closeHeld() noexcept
    {
        // Emptied first: a Close that reaches back into this owner finds nothing.
        T held = std::exchange(value_, empty());
        if (!(held == empty())) {
            static_cast<void>(Close(held));
        }
    }

    T value_ = empty();
};
