#include "ui/dialog_placement.h"

#include <gtest/gtest.h>

namespace {

const ScreenBox kWorkArea{0, 0, 1024, 738};

ScreenBox dialogOfSize(int width, int height)
{
    return ScreenBox{500, 500, 500 + width, 500 + height};
}

}  // namespace

TEST(CentredDialogOrigin, CentresOnTheReference)
{
    EXPECT_EQ(centredDialogOrigin(dialogOfSize(330, 240), kWorkArea, kWorkArea),
              (ScreenPoint{347, 249}));
    // On an owner window somewhere on the screen.
    EXPECT_EQ(centredDialogOrigin(dialogOfSize(100, 50), ScreenBox{200, 100, 600, 400}, kWorkArea),
              (ScreenPoint{350, 225}));
}

TEST(CentredDialogOrigin, StaysInsideTheWorkArea)
{
    // An owner near the right and bottom edges pushes the dialog back in.
    EXPECT_EQ(
        centredDialogOrigin(dialogOfSize(300, 200), ScreenBox{900, 650, 1100, 800}, kWorkArea),
        (ScreenPoint{724, 538}));
    // An owner hanging off the left and top edges.
    EXPECT_EQ(centredDialogOrigin(dialogOfSize(300, 200), ScreenBox{-400, -300, 0, 0}, kWorkArea),
              (ScreenPoint{0, 0}));
    // A work area that does not start at 0 (a task bar on the left, a second monitor).
    EXPECT_EQ(centredDialogOrigin(dialogOfSize(300, 200), ScreenBox{1024, 0, 1124, 100},
                                  ScreenBox{1024, 0, 2048, 768}),
              (ScreenPoint{1024, 0}));
}

TEST(CentredDialogOrigin, LeftAndTopEdgesWinWhenTheDialogIsTooLarge)
{
    EXPECT_EQ(centredDialogOrigin(dialogOfSize(1200, 900), kWorkArea, kWorkArea),
              (ScreenPoint{0, 0}));
    EXPECT_EQ(
        centredDialogOrigin(dialogOfSize(1200, 900), kWorkArea, ScreenBox{100, 50, 1124, 818}),
        (ScreenPoint{100, 50}));
}
