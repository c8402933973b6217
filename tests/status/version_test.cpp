#include "status/version.h"

#include <gtest/gtest.h>

namespace korvel {
namespace {

struct VersionCase {
    std::uint8_t x, y;
    int number;
    const char* text;
};

// Bytes worked out by hand from the digit layout: X = d1 << 3 | d2, Y = d3 << 3 | d4.
TEST(Version, NumberAndTextFromTheTwoReplyBytes) {
    const VersionCase cases[] = {
        {25, 1, 3101, "3.10 A"},  {8, 16, 1020, "1.02"}, {3, 8, 310, "0.31"},
        {8, 15, 1017, "1.01 G"},  {25, 0, 3100, "3.10"}, {0, 0, 0, "0.00"},
        {16, 11, 2013, "2.01 C"}, {24, 0, 3000, "3.00"}, {9, 2, 1102, "1.10 B"},
        {0, 7, 7, "0.00 G"},
    };
    for (const VersionCase& c : cases) {
        SCOPED_TRACE(c.number);
        EXPECT_EQ(versionNumber(c.x, c.y), c.number);
        EXPECT_EQ(versionText(c.number), c.text);
    }
}

TEST(Version, LargestSevenBitBytesStayWithinSixteenBits) {
    EXPECT_EQ(versionNumber(127, 127), 15857);
    EXPECT_EQ(versionText(15857), "1.58 G");
}

TEST(Version, ModuleVersionZeroMeansUnknown) {
    EXPECT_EQ(moduleVersionText(0), "Unknown");
    EXPECT_EQ(moduleVersionText(1017), "1.01 G");
    EXPECT_EQ(versionText(-1), "Unknown");
}

}  // namespace
}  // namespace korvel
