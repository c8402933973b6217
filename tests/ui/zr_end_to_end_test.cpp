#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <cstdio>

#include "qt_serial/qt_serial_port.h"
#include "sim/handlers.h"
#include "sim/pty_server.h"
#include "tests/support/recorders.h"
#include "ui/main_window.h"
#include "ui/zr_page.h"

namespace korvel::testing {
namespace {

using namespace std::chrono_literals;

// The report line of one device, written out from the module's own settings.
QString deviceLine(int device, const sim::ZrDevice& d) {
    static const char* const names[] = {"Normal", "Low", "High", "Unlimited"};
    char line[64];
    if (d.time == 0)
        std::snprintf(line, sizeof line, "%6d Default  %s", device, names[d.power]);
    else
        std::snprintf(line, sizeof line, "%6d%6dms  %s", device, d.time * 100 / 6, names[d.power]);
    return line;
}

// The real program on a pseudo-terminal: QSerialPort, the steady clock and a
// simulated controller whose ZR32 module answers every third request late.
class ZrEndToEnd : public ::testing::Test {
  protected:
    ZrEndToEnd() : server(system()) {
        server.setByteTime(std::chrono::nanoseconds(10'000'000'000 / 19200));
        port.overrideDevice(1, server.devicePath());
        window = std::make_unique<ui::MainWindow>(port, clock, prompter);
        window->show();
        ModuleRegistry& registry = window->registry();
        registry.zrList.add("All", kAllZR);
        registry.zrList.add(" 1", 1);
        registry.zrList.selected = 0;
        window->findChild<ui::ZrPage*>()->refreshList();
        auto* ports = window->findChild<QComboBox*>("cboPort");
        const int index = ports->findText(" 1");
        ports->setCurrentIndex(index);
        emit ports->activated(index);
    }
    static sim::SimSystem system() {
        sim::SimSystem s = sim::demoSystem();
        sim::findModule(s, sim::ModuleFamily::ZR, 1)->zrLateEvery = 3;
        return s;
    }
    template <class T>
    T* find(const char* name) {
        T* w = window->findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    sim::ZrSettings active() {
        return server.withController([](sim::SimController& c) {
            return sim::findModule(c.system(), sim::ModuleFamily::ZR, 1)->zrActive;
        });
    }

    sim::PtyServer server;
    QtSerialPort port;
    SteadyClock clock;
    RecordingPrompter prompter;
    std::unique_ptr<ui::MainWindow> window;
};

TEST_F(ZrEndToEnd, ReportMatchesTheModuleAndSettingsReachIt) {
    ASSERT_TRUE(port.isOpen());
    find<QTabWidget>("SSTab1")->setCurrentIndex(1);
    auto* module = find<QComboBox>("cboZR");
    module->setCurrentIndex(1);
    emit module->activated(1);

    find<QLineEdit>("txtZRdevice")->setText("9");
    find<QLineEdit>("txtZRtime")->setText("45");
    QTest::mouseClick(find<QPushButton>("cmdDeviceTime"), Qt::LeftButton);
    EXPECT_EQ(active().devices[9].time, 45);

    const auto start = std::chrono::steady_clock::now();
    QTest::mouseClick(find<QPushButton>("cmdGetZRConfig"), Qt::LeftButton);
    EXPECT_LT(std::chrono::steady_clock::now() - start,
              5s);  // it ended at device 63, not on the 10 s wait
    const QStringList lines =
        find<QPlainTextEdit>("textZRReport")->toPlainText().split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3 + 64);
    EXPECT_EQ(lines[1], "Default Timing =   200ms");
    const sim::ZrSettings settings = active();
    for (int d = 0; d < 64; ++d)
        EXPECT_EQ(lines[3 + d], deviceLine(d, settings.devices[static_cast<std::size_t>(d)]));
    EXPECT_EQ(lines[3 + 9], "     9   750ms  Low");
    EXPECT_TRUE(prompter.shown.empty());
}

}  // namespace
}  // namespace korvel::testing
