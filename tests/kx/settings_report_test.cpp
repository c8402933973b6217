#include <gtest/gtest.h>

#include "kx/reply_decoding.h"
#include "sim/controller.h"

namespace korvel {
namespace {

// Of the messages the controller held, only a KX module's report with five to
// seven data bytes goes to the page.
TEST(SettingsReport, IsPickedOutByLengthB1AndAddress) {
    const std::pair<sim::FrameData, bool> cases[] = {
        {{0, 35, 10, 1, 12}, true},  {{0, 63, 26, 1, 12, 0, 0}, true}, {{0, 35, 10, 1}, false},
        {{0, 64, 10, 1, 12}, false}, {{0, 31, 10, 1, 12}, false},      {{1, 35, 10, 1, 12}, false}};
    for (const auto& [data, report] : cases) {
        ReplyBuffer r;
        const auto bytes = sim::SimController::encodeAnswer(data);
        for (std::size_t i = 0; i + 1 < bytes.size(); ++i) r.bytes[i] = bytes[i] & 127;
        EXPECT_EQ(isSettingsReport(r), report) << int(data[1]) << " " << data.size();
    }
}

}  // namespace
}  // namespace korvel
