// The Windows event log, where a start with nobody to see a box leaves its
// error messages.
#pragma once

#include <string>
#include <string_view>

// Names the source of the events written from now on: the product's name
// once the settings are read. Before that, and when the name is empty, the
// source is the executable's file name without its extension.
void setEventLogSource(std::wstring_view productName);

// Writes the text as one error event. False when it could not be written;
// nothing else is tried then.
[[nodiscard]] bool writeErrorEvent(const std::wstring& text) noexcept;
