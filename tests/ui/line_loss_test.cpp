// The window when the line misbehaves: a pulled adapter, the message log as a
// record, one request per press, the cursor under a message box, and a report
// on the closing frame of a status request.
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <optional>

#include "qt_serial/qt_serial_port.h"
#include "sim/pty_server.h"
#include "tests/ui/window_rig.h"
#include "ui/widget_kit.h"

namespace korvel::testing {
namespace {

using sim::FrameData;

TEST(LineLoss, AnAdapterPulledWhileIdleIsOneNoticeAndNoPortPicked) {
    std::optional<sim::PtyServer> server(sim::demoSystem());
    QtSerialPort port;
    port.overrideDevice(1, server->devicePath());
    SteadyClock clock;
    RecordingPrompter prompter;
    ui::MainWindow window(port, clock, prompter);
    auto* cboPort = window.findChild<QComboBox*>("cboPort");
    const int index = cboPort->findText(" 1");
    cboPort->setCurrentIndex(index);
    emit cboPort->activated(index);
    ASSERT_TRUE(window.link().Transact(Frame{}));
    ASSERT_TRUE(window.pollTimer().timer.isActive());

    server->vanish();
    QTimer giveUp;  // wakes the wait should the notice never come
    giveUp.setSingleShot(true);
    giveUp.start(2000);
    while (prompter.shown.empty() && giveUp.isActive())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QCoreApplication::processEvents();
    ASSERT_EQ(prompter.texts(), std::vector<std::string>{"Geen antwoord van Korvel"});
    EXPECT_NE(prompter.shown[0].detail.find(server->devicePath()), std::string::npos);
    EXPECT_EQ(cboPort->currentIndex(), -1);
    EXPECT_FALSE(port.isOpen());
    EXPECT_FALSE(window.pollTimer().timer.isActive());

    server.emplace(sim::demoSystem());  // plugged in again: Refresh and a pick work as at start
    port.overrideDevice(1, server->devicePath());
    QTest::mouseClick(window.findChild<QPushButton*>("cmdRefresh"), Qt::LeftButton);
    emit cboPort->activated(cboPort->findText(" 1"));
    EXPECT_TRUE(port.isOpen());
    EXPECT_EQ(prompter.shown.size(), 1u);
}

class LineUi : public WindowTest {};

TEST_F(LineUi, ALineLostInAnExchangeLeavesNoPortPicked) {
    pickPort();
    controller.faults().vanishAfterFrames = 0;
    QTest::mouseClick(find<QPushButton>("cmdReset"), Qt::LeftButton);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Geen antwoord van Korvel"});
    EXPECT_EQ(find<QComboBox>("cboPort")->currentIndex(), -1);
}

TEST_F(LineUi, TheLogIsARecordThatEscapeOnlyHides) {
    pickPort();
    window->messageLog().showWindow();
    window->link().Transact(Frame{1, 0});
    ui::MessageLogWindow* log = window->messageLog().existingWindow();
    auto* txt = log->findChild<QPlainTextEdit*>("txtMsgLog");
    const QString logged = txt->toPlainText();
    ASSERT_FALSE(logged.isEmpty());
    QTest::keyClick(txt, Qt::Key_Z, Qt::ControlModifier);  // would take back the append
    QTest::keyClicks(txt, "x");
    EXPECT_EQ(txt->toPlainText(), logged);
    QTest::keyClick(log, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(log->isVisible());
    EXPECT_EQ(window->messageLog().existingWindow(), log);
    EXPECT_EQ(log->text(), logged);
}

TEST_F(LineUi, AShiftDoubleClickOnStatusRunsOneClassicRequest) {
    pickPort();
    QPushButton* status = find<QPushButton>("cmdStatus");
    QTest::mouseDClick(window->windowHandle(), Qt::LeftButton, Qt::ShiftModifier,
                       status->mapTo(window.get(), status->rect().center()));
    EXPECT_EQ(std::count(controller.framesReceived().begin(), controller.framesReceived().end(),
                         FrameData{1, 2}),
              1);
    EXPECT_NE(window->findChild<QWidget*>("dlgKorvelStatus"), nullptr);
    EXPECT_EQ(window->findChild<QWidget*>("dlgKorvelStatus44"), nullptr);
}

TEST(BusyCursorUi, AMessageBoxShowsTheNormalCursorAndTheWaitCursorReturns) {
    {
        const ui::ArrowWhileWaiting idle;  // nothing busy: nothing to change
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }
    const ui::BusyCursor busy;
    {
        const ui::ArrowWhileWaiting box;
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::ArrowCursor);
    }
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
}

// The lists are rebuilt before the request's closing frame, so a report it
// collects meets the new selection (the first module, " 0"), not the old one.
TEST_F(LineUi, AReportOnTheClosingFrameMeetsTheNewList) {
    pickPort();
    QTest::mouseClick(find<QPushButton>("cmdStatus"), Qt::LeftButton);
    auto* cboKX = find<QComboBox>("cboKX");
    const int three = cboKX->findText(" 3");
    cboKX->setCurrentIndex(three);
    emit cboKX->activated(three);
    controller.queueMessage({0, 32, 10, 1, 12});
    QTest::mouseClick(find<QPushButton>("cmdStatus"), Qt::LeftButton);
    EXPECT_EQ(cboKX->currentText(), " 0");
    EXPECT_EQ(find<QLineEdit>("txtHFI")->text(), "12");
    controller.queueMessage({0, 32, 10, 1});  // too short to be a settings report
    window->link().pollTick();
    EXPECT_EQ(find<QLineEdit>("txtHFI")->text(), "12");
}

}  // namespace
}  // namespace korvel::testing
