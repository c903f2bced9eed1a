// Closes an open registry key exactly once: on close() or when destroyed.
#pragma once

#include <windows.h>

#include <utility>

// Empty is nullptr. Never given a predefined root key such as HKEY_LOCAL_MACHINE.
class RegistryKeyOwner {
public:
    explicit RegistryKeyOwner(HKEY key = nullptr) noexcept : key_(key) {}
    ~RegistryKeyOwner() { close(); }
    void close() noexcept
    {
        if (key_ != nullptr) {
            RegCloseKey(key_);
        }
        key_ = nullptr;
    }

    RegistryKeyOwner(RegistryKeyOwner&& other) noexcept : key_(std::exchange(other.key_, nullptr))
    {
    }
    RegistryKeyOwner& operator=(RegistryKeyOwner&& other) noexcept
    {
        if (this != &other) {
            close();
            key_ = std::exchange(other.key_, nullptr);
        }
        return *this;
    }
    RegistryKeyOwner(const RegistryKeyOwner&) = delete;
    RegistryKeyOwner& operator=(const RegistryKeyOwner&) = delete;

    HKEY get() const noexcept { return key_; }
    explicit operator bool() const noexcept { return key_ != nullptr; }

private:
    HKEY key_;
};
