// The port list's "Network port…" entry against a real ser2net on loopback, and
// a line lost while idle, local or network.

#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <optional>

#include "net_serial/net_serial_port.h"
#include "qt_serial/qt_serial_port.h"
#include "sim/pty_server.h"
#include "sim/ser2net_server.h"
#include "tests/ui/window_rig.h"
#include "ui/main_window.h"

namespace korvel {
namespace {

const QString kNetworkEntry = QString::fromUtf8("Network port\u2026");

struct NetworkEntry : ::testing::Test {
    NetworkEntry() {
        // No local port opens, so the list is the network part alone.
        for (int n = 1; n <= 16; ++n) serial.overrideDevice(n, "/nonexistent/port");
        window.FillPortList();
        window.offerNetworkPorts(port, [this]() -> std::optional<std::string> {
            ++asked;
            return answer;
        });
    }
    // The network entry picked and open, listed once after the network entry.
    void expectPicked(const QString& entry) const {
        EXPECT_EQ(entries(), (QStringList{entry, kNetworkEntry}));
        EXPECT_EQ(cboPort->currentText(), entry);
        EXPECT_TRUE(port.isOpen());
    }
    QStringList entries() const {
        QStringList list;
        for (int i = 0; i < cboPort->count(); ++i) list << cboPort->itemText(i);
        return list;
    }
    void activate(int index) {
        cboPort->setCurrentIndex(index);
        emit cboPort->activated(index);
    }

    sim::PtyServer server{sim::demoSystem()};
    sim::Ser2netServer ser2net{server.devicePath(), "telnet(rfc2217)", "19200n81"};
    const std::string address = ser2net.address("rfc2217");
    QtSerialPort serial;
    net::NetSerialPort network;
    net::RoutedPort port{serial, network};
    SteadyClock clock;
    testing::RecordingPrompter prompter;
    ui::MainWindow window{port, clock, prompter};
    QComboBox* cboPort = window.findChild<QComboBox*>("cboPort");
    int asked = 0;
    std::optional<std::string> answer = address;
};

TEST_F(NetworkEntry, AsksOnceThenKeepsTheAddressInTheListForTheRun) {
    ASSERT_EQ(entries(), QStringList{kNetworkEntry});
    activate(0);
    EXPECT_EQ(asked, 1);
    // The narrow box shows host:port; the tool tip names the scheme.
    const QString entry = QString::fromStdString(address).section("://", 1);
    expectPicked(entry);
    EXPECT_EQ(cboPort->itemData(0, Qt::ToolTipRole).toString().toStdString(),
              net::describeNetAddress(address));
    EXPECT_TRUE(window.link().Transact(Frame{}));

    QTest::mouseClick(window.findChild<QPushButton*>("cmdRefresh"), Qt::LeftButton);
    EXPECT_EQ(entries(), (QStringList{entry, kNetworkEntry}));
    EXPECT_FALSE(port.isOpen());
    activate(0);
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(window.link().Transact(Frame{}));

    answer.reset();  // the question cancelled: nothing changes
    activate(1);
    expectPicked(entry);
    answer = address;  // the same address again: picked, not listed twice
    activate(1);
    EXPECT_EQ(asked, 3);
    expectPicked(entry);
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(NetworkEntry, AnAddressThatIsNoneIsTheOpenFailureAndStaysOutOfTheList) {
    answer = "tcp://127.0.0.1";
    activate(0);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Fout bij openen COM poort"});
    EXPECT_EQ(entries(), QStringList{kNetworkEntry});
    EXPECT_EQ(cboPort->currentIndex(), -1);
}

// The line lost between exchanges, an adapter pulled or the server stopped: the
// event loop learns of it; one notice naming the line, no port picked, and a
// pick works once it is back.
TEST_F(NetworkEntry, ALineLostWhileIdleIsOneNoticeAndAPickWorksOnceItIsBack) {
    std::optional<sim::PtyServer> local(sim::demoSystem());
    const auto plugIn = [&] {
        serial.overrideDevice(1, local->devicePath());
        QTest::mouseClick(window.findChild<QPushButton*>("cmdRefresh"), Qt::LeftButton);
    };
    plugIn();
    for (const bool network : {false, true}) {
        const QString entry = network ? QString::fromStdString(address).section("://", 1) : " 1";
        activate(cboPort->findText(network ? kNetworkEntry : entry));
        ASSERT_TRUE(window.link().Transact(Frame{}));
        prompter.shown.clear();
        network ? ser2net.stop() : local->vanish();
        testing::awaitNotice(prompter);
        ASSERT_EQ(prompter.texts(), std::vector<std::string>{"Geen antwoord van Korvel"});
        const std::string& detail = prompter.shown[0].detail;
        EXPECT_TRUE(detail.starts_with((network ? address : local->devicePath()) + ": ")) << detail;
        EXPECT_EQ(cboPort->currentIndex(), -1);
        EXPECT_FALSE(port.isOpen());
        EXPECT_FALSE(window.pollTimer().timer.isActive());
        if (network) {
            ser2net.start();
        } else {
            local.emplace(sim::demoSystem());
            plugIn();
        }
        activate(cboPort->findText(entry));
        EXPECT_TRUE(port.isOpen());
        EXPECT_TRUE(window.link().Transact(Frame{}));
        EXPECT_EQ(prompter.shown.size(), 1u);
    }
    EXPECT_EQ(asked, 1);
}

}  // namespace
}  // namespace korvel
