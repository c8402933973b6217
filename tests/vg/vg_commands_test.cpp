#include "vg/vg_commands.h"

#include <gtest/gtest.h>

#include "tests/support/recorders.h"

namespace korvel {
namespace {

using sim::FrameData;
using testing::SimBench;

VgBoxes ticked(std::initializer_list<int> bits) {
    VgBoxes boxes{};
    for (int bit : bits) boxes[static_cast<std::size_t>(bit)] = true;
    return boxes;
}

TEST(VgPacking, ConfigurationLowAndHighNibbles) {
    EXPECT_EQ(packVgConfig(ticked({4}), false), (VgConfigCommand{6, 0, 1}));  // "YN32 retr"
    EXPECT_EQ(packVgConfig(ticked({0}), false), (VgConfigCommand{6, 1, 0}));  // "S1 38k4"
    EXPECT_EQ(packVgConfig(ticked({0, 5, 6}), false), (VgConfigCommand{6, 1, 6}));
    EXPECT_EQ(packVgConfig(ticked({0, 1, 2, 3, 4, 5, 6, 7}), true), (VgConfigCommand{7, 15, 15}));
    EXPECT_EQ(packVgConfig(ticked({}), true), (VgConfigCommand{7, 0, 0}));
}

TEST(VgPacking, OptionBitsAndTheUnsendableEighth) {
    EXPECT_EQ(packVgOptions(ticked({1, 6})), 66);  // "Ret.Report" and "Debug.M"
    EXPECT_EQ(packVgOptions(ticked({4, 5})), 48);
    EXPECT_EQ(packVgOptions(ticked({0, 1, 2, 3, 4, 5, 6, 7})), 127);
}

TEST(VgCommands, SentToTheUnitAndStoredByIt) {
    SimBench b;
    b.openPort();
    ModuleRegistry registry;  // no Status yet: the VG unit needs no module list
    SendVGUConfig(b.link, registry, ticked({0, 4, 7}), true);
    SendVGUOptions(b.link, registry, ticked({1, 6}));
    EXPECT_EQ(b.frames(), (std::vector<FrameData>{{}, {1, 7, 1, 9}, {}, {}, {1, 5, 66}, {}}));
    EXPECT_TRUE(b.prompter.shown.empty());
    const sim::SimSystem& s = b.controller.system();
    EXPECT_EQ(s.vgConfigLow, 1);
    EXPECT_EQ(s.vgConfigHigh, 9);
    EXPECT_TRUE(s.vgConfigPermanent);
    EXPECT_EQ(s.vgOptions, 66);

    SendVGUConfig(b.link, registry, ticked({4}), false);
    EXPECT_EQ(b.commandsSince(6), (std::vector<FrameData>{{1, 6, 0, 1}}));
    EXPECT_FALSE(b.controller.system().vgConfigPermanent);
}

TEST(VgCommands, ClosedPortSendsNothing) {
    SimBench b;
    ModuleRegistry registry;
    SendVGUOptions(b.link, registry, ticked({1}));
    EXPECT_TRUE(b.frames().empty());
    EXPECT_EQ(b.prompter.texts(), std::vector<std::string>{"Selecteer communicatie poort"});
}

}  // namespace
}  // namespace korvel
