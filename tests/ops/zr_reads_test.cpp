// The values of one ZR32 module, read over the report's own frames; a value
// whose answer was lost is asked again on its own.
#include <gtest/gtest.h>

#include "ops/module_reads.h"
#include "sim/handlers.h"
#include "tests/support/recorders.h"
#include "zr/zr_report.h"

namespace korvel {
namespace {

using sim::FrameData;
using testing::OpenBench;
using Frames = std::vector<FrameData>;
using ops::readZrValues;

struct Zr : ::testing::Test {
    sim::ZrSettings& active(int module) {
        return sim::findModule(b.controller.system(), sim::ModuleFamily::ZR, module)->zrActive;
    }
    OpenBench b;
};

// The settings a simulated module holds, as the configuration read should find them.
ZrConfiguration configurationOf(const sim::ZrSettings& s) {
    ZrConfiguration c;
    c.defaultTime = s.defaultTime;
    for (std::size_t d = 0; d < c.devices.size(); ++d)
        c.devices[d] = {s.devices[d].time, s.devices[d].power};
    return c;
}

// The requests of the window's report of `module`, on a bench of its own.
Frames reportRequests(int module, bool permanent) {
    struct Inputs final : ZrReportInputs {
        Inputs(int m, bool p) : module(m), perm(p) {}
        std::optional<std::int32_t> selectedModule() override { return module; }
        bool permanent() override { return perm; }
        int module;
        bool perm;
    } inputs(module, permanent);
    OpenBench b;
    readZrReport(b.link, inputs, [](const ZrReportItem&) {});
    return b.commandsSince(0);
}

TEST_F(Zr, ConfigurationReadsEveryValueWithTheReportsOwnRequests) {
    sim::findModule(b.controller.system(), sim::ModuleFamily::ZR, 1)->zrLateEvery = 3;
    active(1).devices[63] = {127, 3};
    const auto& stored =
        sim::findModule(b.controller.system(), sim::ModuleFamily::ZR, 6)->zrPermanent;
    EXPECT_EQ(readZrValues(b.link, 1, false, 0), configurationOf(active(1)));
    const std::size_t mark = b.frames().size();
    EXPECT_EQ(readZrValues(b.link, 6, true, 2), configurationOf(stored));
    EXPECT_EQ(b.commandsSince(mark), reportRequests(6, true));
    const std::size_t beforeEight = b.frames().size();
    EXPECT_EQ(readZrValues(b.link, 8, false, 2), std::nullopt);
    EXPECT_EQ(b.commandsSince(beforeEight), Frames{});
    EXPECT_TRUE(b.prompter.shown.empty());
}

// The power answer of device 5 never reaches the program: without retries the
// read has no configuration; with one, that value alone is asked again, and
// its answer, a frame late as every answer here, is fetched.
TEST_F(Zr, ALostAnswerIsAskedAgainOnlyWithRetries) {
    b.controller.faults().moduleAnswerDelay = 1;
    const auto power5 = static_cast<std::uint8_t>(active(1).devices[5].power);
    for (const int retries : {0, 1}) {
        bool dropped = false;
        b.controller.faults().bendAnswer = [&dropped, power5](FrameData& data) {
            if (!dropped && data == FrameData{0, 65, 58, 5, power5}) {
                data.clear();
                dropped = true;
            }
        };
        const std::size_t mark = b.frames().size();
        const std::optional<ZrConfiguration> read = readZrValues(b.link, 1, false, retries);
        EXPECT_TRUE(dropped);
        const Frames sent = b.commandsSince(mark);
        if (retries == 0) {
            EXPECT_EQ(read, std::nullopt);
            EXPECT_EQ(sent.size(), 1u + 128u);
        } else {
            EXPECT_EQ(read, configurationOf(active(1)));
            ASSERT_EQ(sent.size(), 1u + 128u + 1u);
            EXPECT_EQ(sent.back(), (FrameData{0, 65, 56, 5}));
        }
    }
}

}  // namespace
}  // namespace korvel
