// The shared record mapped into this process, unmapped exactly once.
#pragma once

#include <windows.h>

#include <utility>

#include "instance/instance_record.h"

// Owns a view of the channel's shared memory; empty is nullptr.
class MappedInstanceRecord {
public:
    MappedInstanceRecord() = default;
    ~MappedInstanceRecord() { unmap(); }
    MappedInstanceRecord(MappedInstanceRecord&& other) noexcept
        : view_(std::exchange(other.view_, nullptr))
    {
    }
    MappedInstanceRecord& operator=(MappedInstanceRecord&& other) noexcept
    {
        if (this != &other) {
            unmap();
            view_ = std::exchange(other.view_, nullptr);
        }
        return *this;
    }
    MappedInstanceRecord(const MappedInstanceRecord&) = delete;
    MappedInstanceRecord& operator=(const MappedInstanceRecord&) = delete;

    // Maps exactly one record, writable. An object someone made smaller than
    // the record cannot be mapped that far and fails here instead of letting
    // a read run past its end.
    [[nodiscard]] bool map(HANDLE mapping) noexcept
    {
        unmap();
        view_ = static_cast<InstanceRecord*>(
            MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(InstanceRecord)));
        return view_ != nullptr;
    }

    void unmap() noexcept
    {
        if (view_ != nullptr) {
            UnmapViewOfFile(view_);
            view_ = nullptr;
        }
    }

    InstanceRecord* get() const noexcept { return view_; }
    explicit operator bool() const noexcept { return view_ != nullptr; }

private:
    InstanceRecord* view_ = nullptr;
};
