#include "app/effects/AssistantPosition.h"

#include <gtest/gtest.h>

TEST(AssistantPosition, StandsAgainstTheRightEdgeLevelWithTheTop)
{
    // 1500 + 9900 = 11400 twips = 760 px; 900 twips = 60 px at 15 twips a pixel.
    EXPECT_EQ(AssistantPosition(1500, 900, 9900, 15, 15), QPoint(760, 60));
    // 120 dots per inch: 12 twips a pixel; separate horizontal and vertical scales.
    EXPECT_EQ(AssistantPosition(1200, 600, 7200, 12, 10), QPoint(700, 60));
    EXPECT_EQ(AssistantPosition(0, 0, 0, 15, 15), QPoint(0, 0));
    EXPECT_EQ(AssistantPosition(-3000, -150, 1500, 15, 15), QPoint(-100, -10));
}

TEST(AssistantPosition, RoundsToNearestWithTiesToEven)
{
    EXPECT_EQ(RoundHalfEven(2.5), 2.0);
    EXPECT_EQ(RoundHalfEven(3.5), 4.0);
    EXPECT_EQ(RoundHalfEven(-2.5), -2.0);
    EXPECT_EQ(RoundHalfEven(-3.5), -4.0);
    EXPECT_EQ(RoundHalfEven(2.4999), 2.0);
    EXPECT_EQ(RoundHalfEven(2.5001), 3.0);
    EXPECT_EQ(RoundHalfEven(-0.4), 0.0);
    // Through the rule: 5/2 and 7/2 are ties, 8/3 is not.
    EXPECT_EQ(AssistantPosition(2, 7, 3, 2, 2), QPoint(2, 4));
    EXPECT_EQ(AssistantPosition(5, 8, 2, 2, 3), QPoint(4, 3));
}

TEST(AssistantPosition, RefusesWhatCannotBePlaced)
{
    // 32767 px is the last that fits; 32768 does not.
    EXPECT_EQ(AssistantPosition(0, 0, 32767.0 * 15, 15, 15), QPoint(32767, 0));
    EXPECT_FALSE(AssistantPosition(0, 0, 32768.0 * 15, 15, 15));
    EXPECT_FALSE(AssistantPosition(0, -32769.0 * 15, 0, 15, 15));
    EXPECT_EQ(AssistantPosition(0, -32768.0 * 15, 0, 15, 15), QPoint(0, -32768));
    // A tie that rounds out of range is refused; one that rounds in is kept.
    EXPECT_FALSE(AssistantPosition(0, 0, 32767.5 * 2, 2, 1));
    EXPECT_EQ(AssistantPosition(0, 0, 32766.5 * 2, 2, 1), QPoint(32766, 0));
    EXPECT_FALSE(AssistantPosition(0, 0, 100, 0, 15));
    EXPECT_FALSE(AssistantPosition(0, 0, 100, 15, -15));
    EXPECT_FALSE(AssistantPosition(0, 0, std::numeric_limits<double>::quiet_NaN(), 15, 15));
    EXPECT_FALSE(AssistantPosition(0, 0, std::numeric_limits<double>::infinity(), 15, 15));
}
