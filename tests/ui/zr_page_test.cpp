#include "ui/zr_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include "sim/handlers.h"
#include "tests/ui/window_fixture.h"
#include "ui/up_down.h"

namespace korvel::testing {
namespace {

using sim::FrameData;

class ZrPageTest : public WindowTest {
  protected:
    ZrPageTest() {
        find<QTabWidget>("SSTab1")->setCurrentIndex(1);
        // What a status request leaves behind when ZR modules 1 and 6 answered.
        ModuleRegistry& registry = window->registry();
        registry.zrPresent[1] = registry.zrPresent[6] = 1;
        registry.zrList.add("All", kAllZR);
        registry.zrList.add(" 1", 1);
        registry.zrList.add(" 6", 6);
        registry.zrList.selected = 0;
        window->findChild<ui::ZrPage*>()->refreshList();
    }
    void select(int index) {
        auto* cbo = find<QComboBox>("cboZR");
        cbo->setCurrentIndex(index);
        emit cbo->activated(index);
    }
    void click(const QString& name) {
        QTest::mouseClick(find<QAbstractButton>(name), Qt::LeftButton);
    }
    bool visible(const QString& name) { return find<QWidget>(name)->isVisible(); }
    QString report() { return find<QPlainTextEdit>("textZRReport")->toPlainText(); }
    std::vector<FrameData> commandsSince(std::size_t mark) const {
        std::vector<FrameData> out;
        for (std::size_t i = mark; i < controller.framesReceived().size(); ++i)
            if (!controller.framesReceived()[i].empty())
                out.push_back(controller.framesReceived()[i]);
        return out;
    }
    sim::SimModule& zr(int number) {
        return *sim::findModule(controller.system(), sim::ModuleFamily::ZR, number);
    }
};

TEST_F(ZrPageTest, GetConfigurationFillsTheReportBox) {
    EXPECT_EQ(find<QComboBox>("cboZR")->currentText(), "All");
    EXPECT_FALSE(visible("cmdGetZRConfig"));
    pickPort1();
    select(1);
    EXPECT_TRUE(visible("cmdGetZRConfig"));
    EXPECT_FALSE(visible("textZRReport"));
    click("cmdGetZRConfig");
    EXPECT_TRUE(visible("textZRReport"));
    EXPECT_TRUE(visible("cmdHideZRConfig"));
    const QStringList lines = report().split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3 + 64);
    EXPECT_EQ(lines[0], "ZR32#1 Active settings:");
    EXPECT_EQ(lines[1], "Default Timing =   200ms");
    EXPECT_EQ(lines[2], "Device  Timing  Power");
    EXPECT_EQ(lines[3], "     0 Default  Normal");
    EXPECT_EQ(lines[4], "     1   100ms  Low");
    EXPECT_EQ(lines[66], "    63   300ms  Unlimited");
    EXPECT_TRUE(prompter.shown.empty());
    screenshot(window.get(), "zr_page_report");

    // A new selection only hides the report; Hide clears it.
    select(0);
    EXPECT_FALSE(visible("textZRReport"));
    EXPECT_FALSE(visible("cmdGetZRConfig"));
    EXPECT_FALSE(report().isEmpty());
    select(2);
    click("cmdGetZRConfig");
    EXPECT_TRUE(report().startsWith("ZR32#6 Active settings:\n"));
    click("cmdHideZRConfig");
    EXPECT_FALSE(visible("textZRReport"));
    EXPECT_FALSE(visible("cmdHideZRConfig"));
    EXPECT_TRUE(visible("cmdGetZRConfig"));
    EXPECT_TRUE(report().isEmpty());

    // A status request that finds no ZR module leaves nothing to report on.
    window->registry().zrList.clear();
    window->findChild<ui::ZrPage*>()->refreshList();
    EXPECT_FALSE(visible("cmdGetZRConfig"));
}

TEST_F(ZrPageTest, PermanentReportAndAPortThatIsNotOpen) {
    select(1);
    click("cmdGetZRConfig");
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Selecteer communicatie poort"});
    EXPECT_TRUE(visible("textZRReport"));
    EXPECT_TRUE(visible("cmdHideZRConfig"));
    EXPECT_TRUE(report().isEmpty());
    EXPECT_TRUE(controller.framesReceived().empty());

    pickPort1();
    click("chkZRperm");
    click("cmdGetZRConfig");
    EXPECT_TRUE(report().startsWith("ZR32#1 Permanent settings:\nDefault Timing =   200ms\n"));
    EXPECT_EQ(commandsSince(0).front(), (FrameData{0, 65, 112}));
}

TEST_F(ZrPageTest, ReportBoxUsesAFixedPitchFont) {
    const QFont font = find<QPlainTextEdit>("textZRReport")->font();
    EXPECT_TRUE(QFontInfo(font).fixedPitch());
    EXPECT_DOUBLE_EQ(font.pointSizeF(), 8.25);
}

TEST_F(ZrPageTest, SetButtonsCorrectTheirBoxesAndSendTheirCommands) {
    pickPort1();
    select(1);
    auto* time = find<QLineEdit>("txtZRtime");
    auto* device = find<QLineEdit>("txtZRdevice");
    EXPECT_EQ(time->text(), "12");
    EXPECT_EQ(device->text(), "0");
    EXPECT_TRUE(find<QRadioButton>("optZRpower(0)")->isChecked());

    time->setText("200");
    click("cmdTIME");
    EXPECT_EQ(time->text(), "127");
    EXPECT_EQ(controller.framesReceived(), (std::vector<FrameData>{{}, {0, 65, 32, 127}, {}}));
    EXPECT_EQ(zr(1).zrActive.defaultTime, 127);

    std::size_t mark = controller.framesReceived().size();
    time->setText("30");
    device->setText("64");
    click("chkZRperm");
    click("cmdDeviceTime");
    EXPECT_EQ(device->text(), "63");
    EXPECT_EQ(commandsSince(mark), (std::vector<FrameData>{{0, 65, 96, 63, 30}}));
    EXPECT_EQ(zr(1).zrPermanent.devices[63].time, 30);

    mark = controller.framesReceived().size();
    click("chkZRperm");
    click("optZRpower(2)");
    device->setText("5");
    click("cmdDevicePower");
    EXPECT_EQ(commandsSince(mark), (std::vector<FrameData>{{0, 65, 40, 5, 2}}));
    EXPECT_EQ(zr(1).zrActive.devices[5].power, 2);
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(ZrPageTest, AllSendsToEveryNumber) {
    pickPort1();
    find<QLineEdit>("txtZRtime")->setText("12.5");
    click("cmdTIME");
    EXPECT_EQ(find<QLineEdit>("txtZRtime")->text(), "12.5");
    const std::vector<FrameData> commands = commandsSince(0);
    ASSERT_EQ(commands.size(), 8u);
    EXPECT_EQ(commands.front(), (FrameData{0, 64, 32, 12}));
    EXPECT_EQ(commands.back(), (FrameData{0, 71, 32, 12}));
}

TEST_F(ZrPageTest, EraseAllAsksFirst) {
    pickPort1();
    select(2);
    prompter.answer = MessageAnswer::Cancel;
    click("cmdZRerase");
    EXPECT_EQ(prompter.texts(),
              (std::vector<std::string>{
                  "Warning! This will permanently erase all settings of all selected ZR32-units",
                  "Operation Cancelled"}));
    EXPECT_TRUE(controller.framesReceived().empty());

    prompter.answer = MessageAnswer::Ok;
    click("cmdZRerase");
    EXPECT_EQ(commandsSince(0), (std::vector<FrameData>{{0, 70, 64}}));
}

TEST_F(ZrPageTest, SpinnersStepTheirBoxWithinRange) {
    auto* time = find<QLineEdit>("txtZRtime");
    auto* timeSpinner = find<ui::UpDown>("updownZRtime");
    QTest::mouseClick(timeSpinner->upButton(), Qt::LeftButton);
    EXPECT_EQ(time->text(), "13");
    time->setText("127");
    QTest::mouseClick(timeSpinner->upButton(), Qt::LeftButton);
    EXPECT_EQ(time->text(), "127");
    time->setText("300");
    QTest::mouseClick(timeSpinner->downButton(), Qt::LeftButton);
    EXPECT_EQ(time->text(), "126");

    auto* device = find<QLineEdit>("txtZRdevice");
    QTest::mouseClick(find<ui::UpDown>("updownZRdevice")->downButton(), Qt::LeftButton);
    EXPECT_EQ(device->text(), "0");
    device->setText("63");
    device->setFocus();
    QTest::keyClick(device, Qt::Key_Up);
    EXPECT_EQ(device->text(), "63");
    QTest::keyClick(device, Qt::Key_Down);
    EXPECT_EQ(device->text(), "62");
}

TEST_F(ZrPageTest, EveryInputHasAnAccessibleName) {
    QWidget* tab = find<QWidget>("tabZR");
    int inputs = 0;
    for (QWidget* w : tab->findChildren<QWidget*>()) {
        if (!qobject_cast<QLineEdit*>(w) && !qobject_cast<QComboBox*>(w) &&
            !qobject_cast<QAbstractButton*>(w) && !qobject_cast<QPlainTextEdit*>(w))
            continue;
        ++inputs;
        const QString name = w->accessibleName().isEmpty() && qobject_cast<QAbstractButton*>(w)
                                 ? static_cast<QAbstractButton*>(w)->text()
                                 : w->accessibleName();
        EXPECT_FALSE(name.isEmpty()) << w->objectName().toStdString();
    }
    EXPECT_GE(inputs, 15);
}

}  // namespace
}  // namespace korvel::testing
