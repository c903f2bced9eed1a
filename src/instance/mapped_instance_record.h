// The shared record mapped into this process, unmapped exactly once.
#pragma once

#include <windows.h>

#include "instance/instance_record.h"
#include "support/handle_owners.h"

// A view of the channel's shared memory that holds one record.
using MappedInstanceRecord = MappedView<InstanceRecord>;

// Maps exactly one record, writable, into the view given, which lets go of
// what it held. An object someone made smaller than the record cannot be
// mapped that far and fails here instead of letting a read run past its end.
[[nodiscard]] inline bool mapInstanceRecord(HANDLE mapping, MappedInstanceRecord& view) noexcept
{
    view.reset(static_cast<InstanceRecord*>(
        MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(InstanceRecord))));
    return static_cast<bool>(view);
}
