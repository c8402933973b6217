#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include "tests/ui/window_fixture.h"
#include "ui/classic_status_dialog.h"
#include "ui/standard_status_dialog.h"

namespace korvel::testing {
namespace {

using sim::FrameData;

QStringList items(QComboBox* box) {
    QStringList texts;
    for (int i = 0; i < box->count(); ++i) texts << box->itemText(i);
    return texts;
}

class StatusUi : public WindowTest {
  protected:
    explicit StatusUi(sim::SimSystem system = sim::demoSystem()) : WindowTest(std::move(system)) {}

    void pressStatus(Qt::MouseButton button = Qt::LeftButton,
                     Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::mouseClick(find<QPushButton>("cmdStatus"), button, modifiers);
    }
    ui::StandardStatusDialog* standardDialog() const {
        return window->findChild<ui::StandardStatusDialog*>("dlgKorvelStatus44");
    }
    ui::ClassicStatusDialog* classicDialog() const {
        return window->findChild<ui::ClassicStatusDialog*>("dlgKorvelStatus");
    }
    QCheckBox* box(const char* array, int index) const {
        return find<QCheckBox>(QString("%1_%2").arg(array).arg(index));
    }
};

TEST_F(StatusUi, StandardRequestFillsTheDialogListsAndVgPage) {
    pickPort1();
    pressStatus();
    ASSERT_FALSE(controller.framesReceived().empty());
    EXPECT_EQ(controller.framesReceived().front(), (FrameData{1, 2}));
    EXPECT_EQ(controller.framesReceived().back(), FrameData{});

    ui::StandardStatusDialog* dlg = standardDialog();
    ASSERT_NE(dlg, nullptr);
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_FALSE(dlg->isModal());
    EXPECT_EQ(classicDialog(), nullptr);
    EXPECT_EQ(dlg->windowTitle(), "KorvelConfig - Korvel Status");
    EXPECT_EQ(dlg->txtSystem->text(), "OK");
    EXPECT_EQ(dlg->txtProtVer->text(), "3.10 A");
    EXPECT_EQ(dlg->txtSysVer->text(), "VG-U 1.02");
    EXPECT_EQ(dlg->txtLicense->text(), "Unknown");
    EXPECT_EQ(dlg->txtKXtype[2]->text(), "KX44");
    EXPECT_EQ(dlg->txtKXstatus[18]->text(), "Active");
    EXPECT_EQ(dlg->txtKXversion[18]->text(), "1.01 G");
    EXPECT_EQ(dlg->txtKXstatus[19]->text(), "-");
    EXPECT_EQ(dlg->txtZRver[1]->text(), "1.03 A");
    EXPECT_EQ(dlg->txtQHstatus[4]->text(), "Active");
    EXPECT_EQ(dlg->txtQHver[0]->text(), "-");
    EXPECT_EQ(find<QLineEdit>("txtKXstatus_18"), dlg->txtKXstatus[18]);

    auto* cboKX = find<QComboBox>("cboKX");
    EXPECT_EQ(items(cboKX), (QStringList{"All_KXxx", "All_KX44", "All_KX-H", "All_WOBE", " 0",
                                         " 2.0", " 2.1", " 3", " 5"}));
    EXPECT_EQ(cboKX->currentIndex(), 4);
    EXPECT_EQ(cboKX->itemData(6).toInt(), 18);
    auto* cboZR = find<QComboBox>("cboZR");
    EXPECT_EQ(items(cboZR), (QStringList{"All", " 1", " 6"}));
    EXPECT_EQ(cboZR->currentIndex(), 0);

    auto* type = find<QLabel>("lblVGtype");
    EXPECT_TRUE(type->isVisible());
    EXPECT_EQ(type->text(), "VG-U");
    EXPECT_TRUE(prompter.shown.empty());
    screenshot(dlg, "status_standard");
}

TEST_F(StatusUi, DialogIsReusedAndComesBackFreshAfterClosing) {
    pickPort1();
    pressStatus();
    QPointer<ui::StandardStatusDialog> first = standardDialog();
    ASSERT_NE(first, nullptr);
    pressStatus();
    EXPECT_EQ(standardDialog(), first);
    EXPECT_TRUE(first->isVisible());

    first->close();
    controller.system().modules.clear();
    pressStatus();  // before the closed window is deleted
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());
    ui::StandardStatusDialog* fresh = standardDialog();
    ASSERT_NE(fresh, nullptr);
    EXPECT_TRUE(fresh->isVisible());
    EXPECT_EQ(fresh->txtKXstatus[2]->text(), "Not Found");
    EXPECT_EQ(fresh->txtKXtype[2]->text(), "-");
    EXPECT_EQ(find<QComboBox>("cboKX")->count(), 0);
}

class ClassicStatusUi : public StatusUi {
  protected:
    ClassicStatusUi() : StatusUi(sim::classicDemoSystem()) {}
};

TEST_F(ClassicStatusUi, Protocol3100ShowsTheClassicDialog) {
    pickPort1();
    pressStatus();
    EXPECT_EQ(standardDialog(), nullptr);
    ui::ClassicStatusDialog* dlg = classicDialog();
    ASSERT_NE(dlg, nullptr);
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(dlg->windowTitle(), "KorvelConfig - Korvel Status");
    EXPECT_EQ(dlg->txtProtVer->text(), "3.10");
    EXPECT_EQ(dlg->txtCap->text(), "87");
    EXPECT_EQ(dlg->txtDIP[0]->text(), "Off");
    EXPECT_EQ(dlg->txtDIP[1]->text(), "On");
    EXPECT_EQ(dlg->txtKXstatus[0]->text(), "OK");
    EXPECT_EQ(dlg->txtKXtype[3]->text(), "KXCC");
    EXPECT_EQ(dlg->txtKXtype[4]->text(), "N.A.");
    EXPECT_EQ(dlg->txtZRstatus[6]->text(), "OK");
    EXPECT_EQ(items(find<QComboBox>("cboKX")),
              (QStringList{"All_KX-H", "All_WOBE", " 0", " 2", " 3", " 5"}));
    EXPECT_EQ(find<QComboBox>("cboKX")->currentIndex(), 2);
    screenshot(dlg, "status_classic");
}

TEST_F(StatusUi, DesignTimeVgPageBeforeAnyStatus) {
    EXPECT_FALSE(find<QLabel>("lblVGtype")->isVisible());
    EXPECT_TRUE(find<QGroupBox>("frmConfig")->isVisible());
    EXPECT_TRUE(find<QGroupBox>("frmOPT")->isVisible());
    const bool configShown[] = {true, false, false, false, true, true, true, false};
    const bool optionShown[] = {false, true, false, false, true, true, true, false};
    const char* configCaptions[] = {"S1 38k4",   "S0 38k4", "S0 down", "S0 VG-H",
                                    "YN32 retr", "ZR 64d",  "DCC Fix", "NU"};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(box("chkVGUconfig", i)->isVisible(), configShown[i]) << i;
        EXPECT_EQ(box("chkVGUoptions", i)->isVisible(), optionShown[i]) << i;
        EXPECT_EQ(box("chkVGUconfig", i)->text(), configCaptions[i]);
    }
    EXPECT_EQ(box("chkVGUoptions", 6)->text(), "Debug.M");
    screenshot(window.get(), "vg_page");
}

sim::SimSystem wobe1020() {
    sim::SimSystem s = sim::demoSystem();
    s.systemType = 10;
    s.systemVersion = 1020;
    return s;
}

class WobeStatusUi : public StatusUi {
  protected:
    WobeStatusUi() : StatusUi(wobe1020()) {}
};

TEST_F(WobeStatusUi, OlderWobeOffersOnlyYn32RetrAndNeverSendsHiddenTicks) {
    pickPort1();
    box("chkVGUconfig", 0)->setChecked(true);  // ticked before Status, while still offered
    pressStatus();
    EXPECT_EQ(find<QLabel>("lblVGtype")->text(), "WOBE");
    EXPECT_TRUE(find<QGroupBox>("frmConfig")->isVisible());
    EXPECT_FALSE(find<QGroupBox>("frmOPT")->isVisible());
    for (int i = 0; i < 8; ++i) EXPECT_EQ(box("chkVGUconfig", i)->isVisible(), i == 4) << i;

    box("chkVGUconfig", 4)->setChecked(true);
    const std::size_t mark = controller.framesReceived().size();
    QTest::mouseClick(find<QPushButton>("cmdConfig"), Qt::LeftButton);
    ASSERT_GT(controller.framesReceived().size(), mark + 1);
    EXPECT_EQ(controller.framesReceived()[mark + 1], (FrameData{1, 6, 0, 1}));
    screenshot(window.get(), "vg_page_wobe");
}

TEST_F(StatusUi, ClosingTheMainWindowClosesTheStatusWindows) {
    pickPort1();
    pressStatus();
    pressStatus(Qt::LeftButton, Qt::ShiftModifier);
    ASSERT_TRUE(standardDialog()->isVisible());
    window->close();
    EXPECT_FALSE(standardDialog() && standardDialog()->isVisible());
    EXPECT_FALSE(classicDialog() && classicDialog()->isVisible());
}

}  // namespace
}  // namespace korvel::testing
