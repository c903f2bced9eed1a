#include "ui/dialog_placement.h"

ScreenPoint centredDialogOrigin(const ScreenBox& dialog, const ScreenBox& reference,
                                const ScreenBox& workArea)
{
    ScreenPoint origin{reference.left + (reference.width() - dialog.width()) / 2,
                       reference.top + (reference.height() - dialog.height()) / 2};
    // Right and bottom first, so that left and top win when both cannot hold.
    if (origin.x + dialog.width() > workArea.right) {
        origin.x = workArea.right - dialog.width();
    }
    if (origin.y + dialog.height() > workArea.bottom) {
        origin.y = workArea.bottom - dialog.height();
    }
    if (origin.x < workArea.left) {
        origin.x = workArea.left;
    }
    if (origin.y < workArea.top) {
        origin.y = workArea.top;
    }
    return origin;
}
