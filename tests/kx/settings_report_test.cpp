#include <gtest/gtest.h>

#include "kx/reply_decoding.h"
#include "sim/controller.h"

namespace korvel {
namespace {

// Among the messages the controller held, only a KX module's report with five
// to seven data bytes goes to the page.
TEST(SettingsReport, IsPickedOutByLengthB1AndAddress) {
    const struct {
        sim::FrameData data;
        bool report;
    } cases[] = {{{0, 35, 10, 1, 12}, true},    {{0, 63, 26, 1, 12, 0, 0}, true},
                 {{0, 35, 10, 1}, false},       {{0, 64, 10, 1, 12}, false},
                 {{0, 31, 10, 1, 12}, false},   {{1, 35, 10, 1, 12}, false}};
    for (const auto& c : cases) {
        const auto bytes = sim::SimController::encodeAnswer(c.data);
        ReplyBuffer r;
        for (std::size_t i = 0; i + 1 < bytes.size(); ++i)
            r.bytes[i] = static_cast<std::uint8_t>(bytes[i] & 127);
        EXPECT_EQ(isSettingsReport(r), c.report) << int(c.data[1]) << " " << c.data.size();
    }
}

}  // namespace
}  // namespace korvel
