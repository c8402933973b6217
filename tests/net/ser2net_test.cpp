// The network port adapter against a real ser2net serving the simulated
// system's pseudo-terminal on the loopback interface, raw and with RFC 2217.

#include <QProcess>
#include <QTemporaryDir>
#include <optional>

#include "net_serial/net_serial_port.h"
#include "ops/module_reads.h"
#include "qt_serial/qt_serial_port.h"
#include "service/ports.h"
#include "sim/pty_server.h"
#include "sim/ser2net_server.h"
#include "status/module_lists.h"
#include "status/status_request.h"
#include "tests/support/recorders.h"
#include "ui_model/port_routines.h"

namespace korvel {
namespace {

using sim::Ser2netServer;

// The program's port, running `atRequest` once, when the `requestsLeft`th
// request with data has gone out and its answer is awaited.
struct TrapPort final : SerialPort {
    explicit TrapPort(SerialPort& port) : inner(port) {}
    bool open(int n) override { return inner.open(n); }
    bool openAddress(const std::string& a) override { return inner.openAddress(a); }
    void close() override { inner.close(); }
    bool isOpen() const override { return inner.isOpen(); }
    std::size_t bytesAvailable() override { return inner.bytesAvailable(); }
    bool readByte(std::uint8_t& byte) override { return inner.readByte(byte); }
    void write(std::span<const std::uint8_t> bytes) override {
        inner.write(bytes);
        if (bytes.size() > 2 && atRequest && --requestsLeft == 0) atRequest();
    }
    bool waitForReadyRead(std::chrono::milliseconds t) override {
        return inner.waitForReadyRead(t);
    }
    std::string openErrorDetail() const override { return inner.openErrorDetail(); }
    std::string lineErrorDetail() const override { return inner.lineErrorDetail(); }
    void setIdleFailureListener(std::function<void()> l) override {
        inner.setIdleFailureListener(std::move(l));
    }
    void setStopRequest(StopRequest stop) override { inner.setStopRequest(std::move(stop)); }

    SerialPort& inner;
    int requestsLeft = 0;
    std::function<void()> atRequest;
};

// The scheme (tcp or rfc2217) and ser2net's side of it.
using Scheme = std::pair<const char*, const char*>;
const Scheme kRaw{"tcp", ""};
const Scheme kRfc2217{"rfc2217", "telnet(rfc2217)"};

// A network port as the program routes it.
struct NetLine {
    QtSerialPort serial;
    net::NetSerialPort network;
    net::RoutedPort port{serial, network};
    SteadyClock clock;
};

struct TrappedLine : NetLine {
    TrapPort trap{port};
};

struct Ser2netLine : ::testing::TestWithParam<Scheme>, TrappedLine, testing::LinkRig<> {
    Ser2netLine()
        : LinkRig(trap, clock), ser2net(server.devicePath(), GetParam().second, "19200n81") {}
    std::string address() const { return ser2net.address(GetParam().first); }
    bool pick() { return PickNetworkPort(link, prompter, address()); }
    // The status request, registering what it found as the window does.
    std::optional<StatusFacts> status() {
        std::optional<StatusFacts> facts = RequestStatus(link, {});
        if (facts) registerModules(registry, *facts);
        return facts;
    }
    const ops::KxSettingName& alarmDelay() { return *ops::findKxSetting("alarm-delay"); }

    sim::PtyServer server{sim::demoSystem()};
    Ser2netServer ser2net;
    ModuleRegistry registry;
};

// 127 in a data position is 255 on the wire, telnet's IAC: the setting
// written and read back carries it both ways.
TEST_P(Ser2netLine, StatusAndAKxSetAndGetPassThroughWith127AsByte255BothWays) {
    ASSERT_TRUE(pick()) << prompter.shown.at(0).detail;
    const std::optional<StatusFacts> facts = status();
    ASSERT_TRUE(facts);
    testing::OpenBench direct;  // the same request on the in-memory line
    EXPECT_EQ(*facts, *RequestStatus(direct.link, {}));
    EXPECT_EQ(ops::writeKxSetting(link, registry, 5, alarmDelay(), 127, false, 0), 127);
    EXPECT_EQ(ops::readKxSetting(link, registry, 5, alarmDelay(), false, 0), 127);
    EXPECT_TRUE(prompter.shown.empty());
}

// Stopped while a request waits for its answer: one notice naming the server's
// address, the port closed; once it is back, picking it again works.
TEST_P(Ser2netLine, StoppedMidExchangeIsOneNoticeAndANewPickWorksOnceItIsBack) {
    ASSERT_TRUE(pick());
    trap.requestsLeft = 3;
    trap.atRequest = [this] { ser2net.stop(); };
    EXPECT_FALSE(status());
    ASSERT_EQ(prompter.texts(), std::vector<std::string>{kNoAnswer});
    EXPECT_TRUE(prompter.shown[0].detail.starts_with(address() + ": ")) << prompter.shown[0].detail;
    EXPECT_EQ(std::tuple(port.isOpen(), link.polling()), std::tuple(false, false));
    ser2net.start();
    prompter.shown.clear();
    ASSERT_TRUE(pick());
    EXPECT_TRUE(status());
    EXPECT_TRUE(prompter.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(Schemes, Ser2netLine, ::testing::Values(kRaw, kRfc2217),
                         [](const auto& info) { return std::string(info.param.first); });

// Every way a network port fails to open is the open-failure box with the
// address and the reason as its detail.
TEST(NetworkPort, OpenFailuresNameTheAddressAndTheReason) {
    sim::PtyServer server(sim::demoSystem());
    Ser2netServer plainTelnet(server.devicePath(), "telnet", "19200n81");
    const std::string refused = "tcp://127.0.0.1:" + std::to_string(sim::freeLoopbackPort());
    const std::pair<std::string, const char*> cases[] = {
        {refused, "Connection refused"},
        {"rfc2217://no-such-host.invalid:2217", "host not found"},
        {plainTelnet.address("rfc2217"), "refuses the COM-PORT-OPTION"},
        {"udp://127.0.0.1:2000", "not a network port"},
    };
    NetLine line;
    testing::LinkRig<> rig{line.port, line.clock};
    testing::RecordingPrompter& prompter = rig.prompter;
    for (const auto& [address, reason] : cases) {
        prompter.shown.clear();
        EXPECT_FALSE(PickNetworkPort(rig.link, prompter, address));
        ASSERT_EQ(prompter.texts(), std::vector<std::string>{kOpenPortFailed}) << address;
        const std::string& detail = prompter.shown[0].detail;
        EXPECT_TRUE(detail.starts_with(address + ": ")) << detail;
        EXPECT_NE(detail.find(reason), std::string::npos) << detail;
        EXPECT_FALSE(line.port.isOpen());
    }
}

// korvelctl takes the address as -p: the status it prints is the demo's, a
// backup restores through it, and a server that is not there is one line and
// exit status 1.
TEST(NetworkPort, KorvelctlReachesTheServerByItsAddress) {
    sim::PtyServer server(sim::demoSystem());
    Ser2netServer raw(server.devicePath(), "", "19200n81");
    const auto run = [](const QStringList& arguments) {
        QProcess p;
        p.start(KORVELCTL, arguments);
        EXPECT_TRUE(p.waitForFinished(30000));
        return std::tuple{p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
    };
    const auto [demoCode, demoOut, demoErr] = run({"--demo", "status"});
    const QString address = QString::fromStdString(raw.address("tcp"));
    const auto [code, out, err] = run({"-p", address, "status"});
    EXPECT_EQ(code, 0) << err.toStdString();
    EXPECT_EQ(out, demoOut);
    const QTemporaryDir folder;
    const QString file = folder.filePath("net.json");
    const auto [backupCode, backupOut, backupErr] = run({"-p", address, "backup", file});
    EXPECT_EQ(backupCode, 0) << backupErr.toStdString();
    const auto [restoreCode, restoreOut, restoreErr] = run({"-p", address, "restore", file});
    EXPECT_EQ(restoreCode, 0) << restoreErr.toStdString();
    EXPECT_TRUE(restoreOut.contains("every setting read back equal")) << restoreOut.toStdString();
    raw.stop();
    const auto [lostCode, lostOut, lostErr] = run({"-p", address, "status"});
    EXPECT_EQ(std::tuple(lostCode, lostOut.isEmpty(), lostErr.count('\n'),
                         lostErr.contains("Connection refused")),
              std::tuple(1, true, 1, true))
        << lostErr.toStdString();
}

}  // namespace
}  // namespace korvel
