#include "support/owner.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <type_traits>
#include <utility>
#include <vector>

namespace {

// What the test owners closed, in order.
std::vector<int> closedValues;

void recordClose(int value)
{
    closedValues.push_back(value);
}

using NumberOwner = Owner<int, &recordClose>;
// An owner whose empty value is not the type's zero, as for file handles.
using MinusOneOwner = Owner<int, &recordClose, -1>;

int* recordedPointer = nullptr;
int pointerCloses = 0;

void recordPointerClose(int* value)
{
    recordedPointer = value;
    ++pointerCloses;
}

// A pointer whose empty value is given as a number.
using PointerOwner = Owner<int*, &recordPointerClose, std::intptr_t{-1}>;

class OwnerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        closedValues.clear();
        recordedPointer = nullptr;
        pointerCloses = 0;
    }
};

TEST_F(OwnerTest, ClosesWhatItHoldsOnceWhenItEnds)
{
    {
        NumberOwner owner(7);
        EXPECT_TRUE(owner);
        EXPECT_EQ(owner.get(), 7);
    }
    EXPECT_EQ(closedValues, std::vector<int>{7});
}

TEST_F(OwnerTest, AnEmptyOwnerClosesNothing)
{
    {
        NumberOwner empty;
        NumberOwner zero(0);
        EXPECT_FALSE(empty);
        EXPECT_FALSE(zero);
    }
    EXPECT_TRUE(closedValues.empty());
}

TEST_F(OwnerTest, TheInvalidValueIsEmptyAndTheTypesZeroIsNot)
{
    {
        MinusOneOwner failed(-1);
        MinusOneOwner zero(0);
        MinusOneOwner empty;
        EXPECT_FALSE(failed);
        EXPECT_TRUE(zero);
        EXPECT_FALSE(empty);
        EXPECT_EQ(empty.get(), -1);
    }
    EXPECT_EQ(closedValues, std::vector<int>{0});
}

TEST_F(OwnerTest, APointerInvalidGivenAsANumberIsThatPointer)
{
    int value = 0;
    {
        PointerOwner failed(reinterpret_cast<int*>(std::intptr_t{-1}));
        PointerOwner null(nullptr);
        PointerOwner held(&value);
        EXPECT_FALSE(failed);
        EXPECT_TRUE(null);
        EXPECT_TRUE(held);
        PointerOwner released(held.release());
    }
    // Owners end in reverse order: the one that holds nullptr is closed last.
    EXPECT_EQ(pointerCloses, 2);
    EXPECT_EQ(recordedPointer, nullptr);
}

TEST_F(OwnerTest, ResetClosesTheOldValueAndHoldsTheNewOne)
{
    NumberOwner owner(1);
    owner.reset(2);
    EXPECT_EQ(closedValues, std::vector<int>{1});
    EXPECT_EQ(owner.get(), 2);
    owner.reset();
    EXPECT_EQ(closedValues, (std::vector<int>{1, 2}));
    EXPECT_FALSE(owner);
}

TEST_F(OwnerTest, ReleaseGivesUpTheValueWithoutClosingIt)
{
    {
        NumberOwner owner(3);
        EXPECT_EQ(owner.release(), 3);
        EXPECT_FALSE(owner);
    }
    EXPECT_TRUE(closedValues.empty());
}

TEST_F(OwnerTest, MovingHandsTheValueOverAndClosesItOnce)
{
    {
        NumberOwner first(4);
        NumberOwner second(std::move(first));
        EXPECT_FALSE(first);
        EXPECT_EQ(second.get(), 4);
        NumberOwner third(5);
        third = std::move(second);
        EXPECT_EQ(closedValues, std::vector<int>{5});
        EXPECT_EQ(third.get(), 4);
    }
    EXPECT_EQ(closedValues, (std::vector<int>{5, 4}));
}

static_assert(!std::is_copy_constructible_v<NumberOwner>);
static_assert(!std::is_copy_assignable_v<NumberOwner>);
static_assert(std::is_nothrow_move_constructible_v<NumberOwner>);
static_assert(!std::is_convertible_v<int, NumberOwner>);

}  // namespace
