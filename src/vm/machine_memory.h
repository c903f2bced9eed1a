// The machine's memory as the system reports it at this moment.
#pragma once

#include "vm/memory_options.h"

// The installed physical memory and the address space still free to this
// process, in bytes; zeros when the system cannot tell.
MachineMemory readMachineMemory();
