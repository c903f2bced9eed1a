// The rules of the download link that need no window: the browser's link
// colours as the registry spells them, and where the measured text sits in
// the control.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// "red,green,blue" in decimal to a colour value red + green * 256 + blue * 65536;
// only the low 8 bits of each number count. Nothing when a comma is missing or
// the blue part is empty.
[[nodiscard]] std::optional<std::uint32_t> parseColorText(std::wstring_view text);

// The text of a colour value as the registry returned it: at most 24 bytes of
// UTF-16 ending with a NUL character; no bytes at all is the empty text.
// Nothing for anything else (too long, odd length, not terminated).
[[nodiscard]] std::optional<std::wstring> colorTextFromValueBytes(
    std::span<const std::uint8_t> bytes);

enum class LinkAlignment { left, centre, right };

// How far right the measured text moves inside the client area: half the room
// left over for centred text, all of it for right-aligned text. Text wider
// than the client area is not moved out of it to the left.
[[nodiscard]] int linkTextShift(LinkAlignment alignment, int clientWidth, int measuredWidth);
