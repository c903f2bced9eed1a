#include "vm/dialog_layout.h"

PixelBox laidOutBox(const PixelBox& recorded, std::uint8_t rules, std::int32_t widthChange,
                    std::int32_t heightChange)
{
    PixelBox box = recorded;
    if (rules & movesRight) {
        box.left += widthChange;
        box.right += widthChange;
    }
    if (rules & movesDown) {
        box.top += heightChange;
        box.bottom += heightChange;
    }
    if (rules & growsInWidth) {
        box.right += widthChange;
    }
    if (rules & growsInHeight) {
        box.bottom += heightChange;
    }
    return box;
}
