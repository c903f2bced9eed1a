// How the exception dialog's controls follow its size.
#include "vm/dialog_layout.h"

#include <gtest/gtest.h>

namespace {

const PixelBox kButton{300, 400, 375, 423};

TEST(LaidOutBox, EachRuleFollowsTheGrowthOfTheClientArea)
{
    // The buttons and the size grip keep their size and their distance to the
    // bottom-right corner.
    EXPECT_EQ(laidOutBox(kButton, movesRight | movesDown, 120, 80), (PixelBox{420, 480, 495, 503}));
    // The frame and the trace box take all the growth.
    EXPECT_EQ(laidOutBox({24, 81, 388, 234}, growsInWidth | growsInHeight, 120, 80),
              (PixelBox{24, 81, 508, 314}));
    // The heading only widens; the texts below the trace widen and move down.
    EXPECT_EQ(laidOutBox({63, 42, 388, 66}, growsInWidth, 120, 80), (PixelBox{63, 42, 508, 66}));
    EXPECT_EQ(laidOutBox({24, 246, 388, 273}, growsInWidth | movesDown, 120, 80),
              (PixelBox{24, 326, 508, 353}));
    // The icon stays where it is.
    EXPECT_EQ(laidOutBox({24, 39, 54, 69}, keepsPlace, 120, 80), (PixelBox{24, 39, 54, 69}));
}

TEST(LaidOutBox, TheStartSizeGivesTheRecordedBoxAndSmallerSizesMoveBack)
{
    for (std::uint8_t rules = 0; rules < 16; ++rules) {
        EXPECT_EQ(laidOutBox(kButton, rules, 0, 0), kButton) << int(rules);
    }
    // Laid out from the record each time, so a client area smaller than the
    // recorded one (a maximised dialog restored) moves and shrinks back.
    EXPECT_EQ(laidOutBox(kButton, movesRight | movesDown, -20, -10),
              (PixelBox{280, 390, 355, 413}));
    EXPECT_EQ(laidOutBox(kButton, growsInWidth | growsInHeight, -20, -10),
              (PixelBox{300, 400, 355, 413}));
}

}  // namespace
