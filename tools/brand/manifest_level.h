// The execution level the manifest asks for: the value of the level attribute
// of requestedExecutionLevel, nothing else of the manifest touched.
#pragma once

#include <string_view>

#include "brand/bytes.h"

// True for asInvoker, highestAvailable and requireAdministrator.
bool isExecutionLevel(std::string_view level);

// The manifest with its level attribute set; refuses a manifest without one.
Bytes withExecutionLevel(ByteView manifest, std::string_view level);
