// Owners that close one handle exactly once: on close() or when destroyed.
#pragma once

#include <windows.h>

#include <utility>

// Closes a kernel handle (file, mapping, event, process, thread) with
// CloseHandle. Empty is nullptr; INVALID_HANDLE_VALUE, which CreateFileW returns
// on failure, is treated as empty too, so a failed call can be stored directly.
class KernelHandleOwner {
public:
    explicit KernelHandleOwner(HANDLE handle = nullptr) noexcept : handle_(handle) {}
    virtual ~KernelHandleOwner() { close(); }
    virtual void close() noexcept
    {
        if (isSet()) {
            CloseHandle(handle_);
        }
        handle_ = nullptr;
    }

    KernelHandleOwner(KernelHandleOwner&& other) noexcept : handle_(other.release()) {}
    KernelHandleOwner& operator=(KernelHandleOwner&& other) noexcept
    {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }
    KernelHandleOwner(const KernelHandleOwner&) = delete;
    KernelHandleOwner& operator=(const KernelHandleOwner&) = delete;

    void reset(HANDLE handle = nullptr) noexcept
    {
        close();
        handle_ = handle;
    }
    [[nodiscard]] HANDLE release() noexcept { return std::exchange(handle_, nullptr); }
    HANDLE get() const noexcept { return handle_; }
    bool isSet() const noexcept { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
    explicit operator bool() const noexcept { return isSet(); }

private:
    HANDLE handle_;
};

// Closes a FindFirstFileW search with FindClose. Empty is nullptr or
// INVALID_HANDLE_VALUE, the value a failed search returns.
class FindHandleOwner {
public:
    explicit FindHandleOwner(HANDLE handle = nullptr) noexcept : handle_(handle) {}
    virtual ~FindHandleOwner() { close(); }
    virtual void close() noexcept
    {
        if (isSet()) {
            FindClose(handle_);
        }
        handle_ = nullptr;
    }

    FindHandleOwner(FindHandleOwner&& other) noexcept
        : handle_(std::exchange(other.handle_, nullptr))
    {
    }
    FindHandleOwner& operator=(FindHandleOwner&& other) noexcept
    {
        if (this != &other) {
            reset(std::exchange(other.handle_, nullptr));
        }
        return *this;
    }
    FindHandleOwner(const FindHandleOwner&) = delete;
    FindHandleOwner& operator=(const FindHandleOwner&) = delete;

    void reset(HANDLE handle = nullptr) noexcept
    {
        close();
        handle_ = handle;
    }
    HANDLE get() const noexcept { return handle_; }
    bool isSet() const noexcept { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
    explicit operator bool() const noexcept { return isSet(); }

private:
    HANDLE handle_;
};
