// A line that loses answers at random: every read is asked again on its own,
// and every write is settled by reading it back, never sent twice.
#include <gtest/gtest.h>

#include <random>

#include "ops/module_reads.h"
#include "ops/system_runs.h"
#include "sim/handlers.h"
#include "status/module_lists.h"
#include "status/status_request.h"
#include "tests/support/recorders.h"

namespace korvel::testing {
namespace {

using namespace korvel::ops;

// Each answer is lost with probability `loss`, the same answers for a seed.
void loseAtRandom(sim::SimController& c, unsigned seed, double loss) {
    c.faults().unanswered = [rng = std::mt19937(seed), loss](const sim::FrameData&) mutable {
        return std::uniform_real_distribution<double>(0, 1)(rng) < loss;
    };
}

sim::SimModule& zr(OpenBench& bench, int n) {
    return *sim::findModule(bench.controller.system(), sim::ModuleFamily::ZR, n);
}

struct Lossy : OpenBench {
    explicit Lossy(unsigned seed) : seed(seed) {
        registerModules(registry, *RequestStatus(link, {}));
        facts = *RequestStatus(link, {});
    }
    void loseFromNow() { loseAtRandom(controller, seed, 0.05); }
    unsigned seed;
    ModuleRegistry registry;
    StatusFacts facts;
};

class LossyLine : public ::testing::TestWithParam<unsigned> {};

TEST_P(LossyLine, AZrConfigurationComesInWhole) {
    Lossy bench(GetParam());
    bench.loseFromNow();
    const std::optional<ZrConfiguration> read =
        readZrValues(bench.link, 6, true, kDefaultReadRetries);
    ASSERT_TRUE(read);
    const sim::ZrSettings& held = zr(bench, 6).zrPermanent;
    EXPECT_EQ(read->defaultTime, held.defaultTime);
    for (std::size_t d = 0; d < held.devices.size(); ++d) {
        EXPECT_EQ(read->devices[d].time, held.devices[d].time) << d;
        EXPECT_EQ(read->devices[d].power, held.devices[d].power) << d;
    }
}

TEST_P(LossyLine, ARestoreIsSettledByItsReadBacks) {
    Lossy bench(GetParam());
    Bus bus(bench.link, bench.registry);
    const std::optional<Backup> saved = takeBackup(bus, bench.facts, "").backup;
    ASSERT_TRUE(saved);
    zr(bench, 1).zrPermanent.defaultTime = 30;
    zr(bench, 1).zrPermanent.devices[40] = {99, 3};
    sim::findModule(bench.controller.system(), sim::ModuleFamily::KX, 0)->kxPermanent.value[1] = 3;
    std::string error;
    const auto targets = restoreTargets(*saved, {"kx:0", "zr:1"}, {}, error);
    ASSERT_TRUE(targets) << error;
    bench.loseFromNow();
    const RunResult result = restore(bus, *targets);
    EXPECT_TRUE(result.whole()) << result.stopped;
    const ZrConfiguration& file = *saved->modules[5].permanent.zr;
    ASSERT_EQ(saved->modules[5].name, (ModuleName{ModuleFamily::ZR, 1}));
    EXPECT_EQ(zr(bench, 1).zrPermanent.defaultTime, file.defaultTime);
    EXPECT_EQ(zr(bench, 1).zrPermanent.devices[40].time, file.devices[40].time);
    EXPECT_EQ(zr(bench, 1).zrPermanent.devices[40].power, file.devices[40].power);
    EXPECT_EQ(
        sim::findModule(bench.controller.system(), sim::ModuleFamily::KX, 0)->kxPermanent.value[1],
        saved->modules[0].permanent.kx.at("hfi"));
}

INSTANTIATE_TEST_SUITE_P(Seeds, LossyLine, ::testing::Values(1u, 2u, 3u, 4u, 5u));

// A write whose opening frame went unanswered never left: it is sent on the
// next try, once, and settled by the module's report.
TEST(LostOpeningFrame, TheWriteGoesOutOnTheNextTry) {
    Lossy bench(1);
    bench.controller.faults().unanswered = [n = 0](const sim::FrameData& d) mutable {
        return d.empty() && n++ == 0;
    };
    const std::size_t mark = bench.frames().size();
    EXPECT_EQ(writeKxSetting(bench.link, bench.registry, 5, *findKxSetting("hfi"), 9, false, 1), 9);
    EXPECT_EQ(bench.commandsSince(mark), (std::vector<sim::FrameData>{{0, 37, 8, 1, 9}}));
}

}  // namespace
}  // namespace korvel::testing
