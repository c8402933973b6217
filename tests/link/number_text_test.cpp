#include "link/number_text.h"

#include <gtest/gtest.h>

#include <cmath>

namespace korvel {
namespace {

TEST(NumberText, ReadsTheNumberAtTheStartOfTheText) {
    EXPECT_EQ(leadingNumber("12"), 12);
    EXPECT_EQ(leadingNumber("  -3.5abc"), -3.5);
    EXPECT_EQ(leadingNumber("+7"), 7);
    EXPECT_EQ(leadingNumber(".5"), 0.5);
    EXPECT_EQ(leadingNumber("1e2x"), 100);
    EXPECT_EQ(leadingNumber("1e"), 1);
    EXPECT_EQ(leadingNumber("abc"), 0);
    EXPECT_EQ(leadingNumber(""), 0);
    EXPECT_EQ(leadingNumber("-"), 0);
    EXPECT_EQ(leadingNumber("inf"), 0);
    EXPECT_EQ(leadingNumber("nan"), 0);
    EXPECT_EQ(leadingNumber("0x1F"), 0);
    EXPECT_EQ(leadingNumber("\xc3\xa9"
                            "5"),
              0);
    EXPECT_TRUE(std::isfinite(leadingNumber("1e999999")));
    EXPECT_TRUE(std::isfinite(leadingNumber("-1e999999")));
}

TEST(NumberText, HalvesRoundToEven) {
    EXPECT_EQ(roundHalfEven(12.5), 12);
    EXPECT_EQ(roundHalfEven(13.5), 14);
    EXPECT_EQ(roundHalfEven(6.5), 6);
    EXPECT_EQ(roundHalfEven(-2.5), -2);
    EXPECT_EQ(roundHalfEven(2.4999), 2);
    EXPECT_EQ(roundHalfEven(2.5001), 3);
}

TEST(NumberText, RangeCorrectionRewritesOnlyOutOfRangeBoxes) {
    RangedValue low = readRanged("5", 20, 70);
    EXPECT_TRUE(low.corrected);
    EXPECT_EQ(low.text, "20");
    EXPECT_EQ(low.value, 20);
    EXPECT_EQ(readRanged("99", 20, 70).text, "70");
    RangedValue half = readRanged("6.5", 0, 7);
    EXPECT_FALSE(half.corrected);
    EXPECT_EQ(half.text, "6.5");
    EXPECT_EQ(half.value, 6);
    EXPECT_EQ(readRanged("7.5", 0, 7).text, "7");
    RangedValue text = readRanged("hello", 0, 15);
    EXPECT_FALSE(text.corrected);
    EXPECT_EQ(text.value, 0);
    EXPECT_EQ(readRanged("1e300", 0, 127).value, 127);
    EXPECT_EQ(readRanged("-1e300", 0, 127).value, 0);
}

}  // namespace
}  // namespace korvel
