// Another process's memory, read and written from this one: records its
// windows fill in for messages, and what the process keeps about itself.
#pragma once

#include <windows.h>

#include <cstdint>

namespace harness {

// Copies size bytes from the address in the process; false unless all came.
[[nodiscard]] inline bool readRemoteMemory(HANDLE process, const void* address, void* target,
                                           SIZE_T size)
{
    SIZE_T done = 0;
    return ReadProcessMemory(process, address, target, size, &done) != FALSE && done == size;
}

// A read-write block allocated in the process, freed with this object.
class RemoteMemory {
public:
    RemoteMemory(HANDLE process, SIZE_T size)
        : process_(process),
          address_(static_cast<std::uint8_t*>(
              VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)))
    {
    }
    ~RemoteMemory()
    {
        if (address_ != nullptr) {
            VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        }
    }
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;

    // The block's address in the other process; nullptr when it could not be allocated.
    std::uint8_t* address() const { return address_; }
    [[nodiscard]] bool write(SIZE_T offset, const void* data, SIZE_T size) const
    {
        return WriteProcessMemory(process_, address_ + offset, data, size, nullptr) != FALSE;
    }
    [[nodiscard]] bool read(SIZE_T offset, void* target, SIZE_T size) const
    {
        return readRemoteMemory(process_, address_ + offset, target, size);
    }

private:
    HANDLE process_;
    std::uint8_t* address_;
};

}  // namespace harness
