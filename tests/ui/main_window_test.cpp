#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "tests/ui/window_fixture.h"
#include "ui/message_log.h"

namespace korvel::testing {
namespace {

class MainWindowTest : public WindowTest {
  protected:
    void doubleClickCommPort() { QTest::mouseDClick(find<QLabel>("lblCom"), Qt::LeftButton); }
    QString logText() {
        auto* w = window->messageLog().existingWindow();
        return w ? w->text() : QString();
    }
};

TEST_F(MainWindowTest, StartsWithPortsListedNothingSentAndTheThirdTabInFront) {
    EXPECT_EQ(window->windowTitle(), "KorvelConfig 1.30A");
    auto* ports = find<QComboBox>("cboPort");
    ASSERT_EQ(ports->count(), 1);
    EXPECT_EQ(ports->itemText(0), " 1");
    EXPECT_EQ(ports->currentIndex(), -1);
    EXPECT_FALSE(port.isOpen());
    EXPECT_TRUE(find<QCheckBox>("Check_Stop")->isChecked());
    EXPECT_EQ(find<QComboBox>("cboKX")->count(), 0);
    EXPECT_EQ(find<QComboBox>("cboZR")->count(), 0);
    auto* tabs = find<QTabWidget>("SSTab1");
    ASSERT_EQ(tabs->count(), 3);
    EXPECT_EQ(tabs->tabText(0), "KXxx / WOBE-s");
    EXPECT_EQ(tabs->tabText(1), "ZR32");
    EXPECT_EQ(tabs->tabText(2), "VG-U / WOBE");
    EXPECT_EQ(tabs->currentIndex(), 2);
    EXPECT_FALSE(find<QWidget>("Frame_Test")->isVisible());
    EXPECT_EQ(find<QPushButton>("cmdStatus")->toolTip(), "Shift+Click for Classic View");
    EXPECT_TRUE(controller.framesReceived().empty());
    EXPECT_FALSE(window->pollTimer().timer.isActive());
    screenshot(window.get(), "main_window");
}

TEST_F(MainWindowTest, ResetFaultWritesItsLineAndStartsPolling) {
    pickPort1();
    QTest::mouseClick(find<QPushButton>("cmdReset"), Qt::LeftButton);
    EXPECT_EQ(port.written(), (std::vector<std::uint8_t>{0x2A, 0x81, 0x80, 0xD5}));
    EXPECT_EQ(logText(), ">> 2A 01 00 55" + QString(17, ' ') + "<< 08 78\n");
    EXPECT_TRUE(window->pollTimer().timer.isActive());
    EXPECT_EQ(controller.system().resetFaultCount, 1);
}

TEST_F(MainWindowTest, CommandsWithoutAPortAskForOne) {
    QTest::mouseClick(find<QPushButton>("cmdReset"), Qt::LeftButton);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Selecteer communicatie poort"});
    EXPECT_TRUE(port.written().empty());
}

TEST_F(MainWindowTest, DoubleClickOnCommPortShowsTheLogAndTheTestFrame) {
    doubleClickCommPort();
    auto* log = window->messageLog().existingWindow();
    ASSERT_NE(log, nullptr);
    EXPECT_TRUE(log->isVisible());
    EXPECT_EQ(log->windowTitle(), "Message Log");
    EXPECT_EQ(logText(), "");
    EXPECT_TRUE(find<QWidget>("Frame_Test")->isVisible());

    // Exchanges made while the log is hidden are there when it is shown again.
    log->hide();
    pickPort1();
    QTest::mouseClick(find<QPushButton>("cmdReset"), Qt::LeftButton);
    doubleClickCommPort();
    EXPECT_EQ(window->messageLog().existingWindow(), log);
    EXPECT_TRUE(logText().startsWith(">> 2A 01 00 55"));
    // What gathered while hidden is in the box itself once it is shown.
    EXPECT_EQ(log->findChild<QPlainTextEdit*>("txtMsgLog")->toPlainText(), logText());
    screenshot(log, "message_log");

    QTest::mouseClick(log->findChild<QPushButton*>("cmdClear"), Qt::LeftButton);
    EXPECT_EQ(logText(), "");
    QTest::mouseClick(find<QPushButton>("cmdReset"), Qt::LeftButton);
    EXPECT_TRUE(logText().startsWith(">> 6A 01 00 15"));
}

TEST_F(MainWindowTest, ClosingTheLogDiscardsItsText) {
    pickPort1();
    QTest::mouseClick(find<QPushButton>("cmdReset"), Qt::LeftButton);
    doubleClickCommPort();
    window->messageLog().existingWindow()->close();
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(window->messageLog().existingWindow(), nullptr);
    doubleClickCommPort();
    EXPECT_EQ(logText(), "");
}

TEST_F(MainWindowTest, ClosingTheMainWindowClosesTheLogAndThePort) {
    pickPort1();
    doubleClickCommPort();
    QPointer<QWidget> log = window->messageLog().existingWindow();
    window->close();
    EXPECT_FALSE(port.isOpen());
    EXPECT_TRUE(log.isNull() || !log->isVisible());
}

TEST_F(MainWindowTest, PollTimerFetchesLateAnswersAndStopsWhenThePortCloses) {
    pickPort1();
    QTest::mouseClick(find<QPushButton>("cmdReset"), Qt::LeftButton);
    controller.queueMessage({0, 64, 49, 12});
    const std::size_t before = controller.framesReceived().size();
    window->pollTimer().tick();
    EXPECT_EQ(controller.framesReceived().size(), before + 1);
    EXPECT_TRUE(logText().endsWith("<< 0C 00 40 31 0C 77\n")) << logText().toStdString();
    QTest::mouseClick(find<QPushButton>("cmdRefresh"), Qt::LeftButton);
    EXPECT_FALSE(port.isOpen());
    window->pollTimer().tick();
    EXPECT_FALSE(window->pollTimer().timer.isActive());
}

}  // namespace
}  // namespace korvel::testing
