// Where a dialog goes on the screen: centred on its owner or its monitor and
// kept inside the work area. No Windows header; the rectangles are plain boxes.
#pragma once

struct ScreenBox {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const ScreenBox&) const = default;
};

struct ScreenPoint {
    int x = 0;
    int y = 0;
    bool operator==(const ScreenPoint&) const = default;
};

// The top-left corner of the dialog centred on the reference box and moved
// into the work area; where the dialog is larger than the work area, its left
// and top edges stay visible.
[[nodiscard]] ScreenPoint centredDialogOrigin(const ScreenBox& dialog, const ScreenBox& reference,
                                              const ScreenBox& workArea);
