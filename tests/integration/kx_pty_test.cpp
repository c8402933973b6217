// KX settings and the master/slave check over the real serial-port code.
#include <gtest/gtest.h>

#include "kx/commands.h"
#include "kx/master_slave_check.h"
#include "kx/reply_decoding.h"
#include "link/ports.h"
#include "qt_serial/qt_serial_port.h"
#include "sim/pty_server.h"
#include "tests/support/recorders.h"

namespace korvel {
namespace {

struct KxOverPty : ::testing::Test {
    KxOverPty() : server(sim::demoSystem()) {
        port.overrideDevice(1, server.devicePath());
        for (int n = 2; n <= kLastPort; ++n)
            port.overrideDevice(n, "/nonexistent/port" + std::to_string(n));
        registry.kxTypes[0] = registry.kxTypes[5] = kKxH;
        registry.kxTypes[2] = registry.kxTypes[18] = kKx44;
        registry.kxList.add(" 0", 0);
        registry.kxList.add(" 2.1", 18);
        registry.kxList.selected = 0;
        // What the page shows: the last confirmed field.
        link.setAnswerListener([this](const ReplyBuffer& reply) {
            if (!isSettingsReport(reply)) return;
            if (auto u = DecodeKXReply(reply, {registry.kxList.selectedItemData(), permanent, {}}))
                confirmed = u;
        });
    }

    sim::PtyServer server;
    QtSerialPort port;
    SteadyClock clock;
    testing::RecordingPrompter prompter;
    testing::StringLog log;
    testing::PollRecorder poll;
    Link link{port, clock, prompter, log, poll};
    ModuleRegistry registry;
    bool permanent = false;
    std::optional<KxFieldUpdate> confirmed;
};

TEST_F(KxOverPty, SetThenGetIsConfirmedByTheModule) {
    ASSERT_TRUE(PickPort(link, " 1"));
    SendKXSetting(link, registry, KxButton::Set,
                  numberCommand(KxNumberSetting::AlarmDelay, "42", {}, permanent));
    ASSERT_TRUE(confirmed);
    EXPECT_EQ(confirmed->field, KxField::txtAL);
    EXPECT_EQ(confirmed->text, "42");

    confirmed.reset();
    registry.kxList.selected = 1;
    permanent = true;
    SendKXSetting(link, registry, KxButton::Get,
                  numberCommand(KxNumberSetting::HFI, "0", {}, permanent));
    ASSERT_TRUE(confirmed);
    EXPECT_EQ(confirmed->field, KxField::txtHFI);
    EXPECT_EQ(confirmed->text, "7");
    EXPECT_EQ(confirmed->colour, kConfirmedColour);
    EXPECT_TRUE(prompter.shown.empty());
}

}  // namespace
}  // namespace korvel
