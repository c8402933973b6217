#include <gtest/gtest.h>

#include "sim/handlers.h"
#include "tests/support/recorders.h"

namespace korvel {
namespace {

using sim::FrameData;
using testing::SimBench;

// The answer's data values as the link received them.
FrameData answerTo(SimBench& b, const Frame& request) {
    EXPECT_TRUE(b.link.Transact(request));
    const ReplyBuffer& r = b.link.reply();
    return FrameData(r.bytes.begin() + 1, r.bytes.begin() + 1 + r.dataCount());
}

struct SimStatus : ::testing::Test {
    SimStatus() { b.openPort(); }
    SimBench b;
};

TEST_F(SimStatus, UnknownControllerCommandsGetAnEmptyAnswer) {
    EXPECT_EQ(answerTo(b, Frame{1, 99, 1}), FrameData{});
    EXPECT_EQ(answerTo(b, Frame{1}), FrameData{});
}

}  // namespace
}  // namespace korvel
