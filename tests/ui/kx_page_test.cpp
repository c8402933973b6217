#include "ui/kx_page.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionComboBox>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include "tests/ui/window_fixture.h"
#include "ui/twips.h"
#include "ui/up_down.h"

namespace korvel::testing {
namespace {

using Frames = std::vector<sim::FrameData>;

const QColor kGreen(0, 255, 0);

class KxPageTest : public WindowTest {
  protected:
    KxPageTest() {
        window->tabs()->setCurrentIndex(0);
        tab = window->tabs()->widget(0);
        page = tab->findChild<ui::KxPage*>();
        QApplication::setActiveWindow(window.get());
    }

    // The registry a status request leaves for the demo system, plus a module
    // of unrecognised type at 7.
    void registerModules() {
        ModuleRegistry& r = window->registry();
        r.kxTypes[0] = r.kxTypes[5] = kKxH;
        r.kxTypes[2] = r.kxTypes[18] = kKx44;
        r.kxTypes[3] = kKxWobe;
        r.kxTypes[7] = kKxUnknown;
        r.kxList.clear();
        for (const auto& [text, item] : std::vector<std::pair<std::string, int>>{{"All_KXxx", -1},
                                                                                 {"All_KX44", -4},
                                                                                 {"All_KX-H", -2},
                                                                                 {"All_WOBE", -3},
                                                                                 {" 0", 0},
                                                                                 {" 2.0", 2},
                                                                                 {" 2.1", 18},
                                                                                 {" 3", 3},
                                                                                 {" 5", 5},
                                                                                 {" 7", 7}})
            r.kxList.add(text, item);
        r.kxList.selected = 4;
        page->refreshList();
    }

    void pick(const QString& entry) {
        auto* cbo = find<QComboBox>("cboKX");
        const int index = cbo->findText(entry);
        ASSERT_GE(index, 0) << entry.toStdString();
        cbo->setCurrentIndex(index);
        emit cbo->activated(index);
    }

    template <class T = QWidget>
    T* indexed(const QString& name, int index) const {
        for (T* w : tab->findChildren<T*>(name))
            if (w->property("index").toInt() == index) return w;
        ADD_FAILURE() << name.toStdString() << "(" << index << ") missing";
        return nullptr;
    }

    bool shown(const char* name) const { return find<QWidget>(name)->isVisibleTo(tab); }
    bool shown(QWidget* w) const { return w->isVisibleTo(tab); }
    QLineEdit* box(const char* name) const { return find<QLineEdit>(name); }
    void click(const char* name, int index) {
        QTest::mouseClick(indexed<QPushButton>(name, index), Qt::LeftButton);
    }
    // Takes the focus off whatever button has it, as leaving the button would.
    void leaveButton() { find<QCheckBox>("chkKXperm")->setFocus(); }
    std::size_t mark() const { return controller.framesReceived().size(); }
    Frames commandsSince(std::size_t from) const {
        Frames out;
        const auto& all = controller.framesReceived();
        for (std::size_t i = from; i < all.size(); ++i)
            if (!all[i].empty()) out.push_back(all[i]);
        return out;
    }

    QWidget* tab = nullptr;
    ui::KxPage* page = nullptr;
};

TEST_F(KxPageTest, StartsWithEveryPanelNoGetButtonsAndTheInitialValues) {
    for (const char* frame : {"frmHFI", "frmAL", "frmSW", "frmDCS", "frmPWMM", "frmOCD", "frmMS",
                              "frmPC", "FrmLC", "frmAD"})
        EXPECT_TRUE(shown(frame)) << frame;
    for (const char* cmd : {"cmdHFI", "cmdAL", "cmdSW", "cmdDCShift", "cmdPWMM", "cmdOCD", "cmdMS",
                            "cmdPC", "cmdLC", "cmdAD"}) {
        EXPECT_TRUE(shown(indexed(cmd, 0))) << cmd;
        EXPECT_FALSE(shown(indexed(cmd, 1))) << cmd;
    }
    EXPECT_FALSE(shown("lblKXtype"));
    EXPECT_EQ(indexed<QPushButton>("cmdMS", 1)->text(), "Get MS-mode");
    EXPECT_EQ(indexed<QPushButton>("cmdLC", 0)->text(), "Set Loop Current");
    EXPECT_EQ(indexed<QPushButton>("cmdPWMM", 1)->text(), "Get PWM-Mult.");
    EXPECT_EQ(box("txtLC")->text(), "50");
    EXPECT_EQ(box("txtAD")->text(), "15");
    EXPECT_EQ(box("txtHFI")->text(), "0");
    EXPECT_TRUE(indexed<QRadioButton>("optAL", 0)->isChecked());
    EXPECT_TRUE(indexed<QRadioButton>("optSW", 0)->isChecked());
    EXPECT_TRUE(indexed<QRadioButton>("optBank", 0)->isChecked());
    EXPECT_TRUE(indexed<QRadioButton>("optPWMM", 2)->isChecked());
    EXPECT_TRUE(indexed<QRadioButton>("optOCD", 0)->isChecked());
    EXPECT_TRUE(indexed<QRadioButton>("optMS", 0)->isChecked());
    EXPECT_TRUE(indexed<QRadioButton>("optPC", 0)->isChecked());
    EXPECT_TRUE(indexed<QRadioButton>("OptLC", 0)->isChecked());
    for (int i : {2, 4, 8, 16, 32})
        EXPECT_EQ(indexed<QRadioButton>("optPWMM", i)->text(), QString::number(i));
    EXPECT_FALSE(find<QCheckBox>("chkKXperm")->isChecked());
}

TEST_F(KxPageTest, ControlsSitAtTheirPlacesUnclippedWithAccessibleNames) {
    EXPECT_EQ(find<QWidget>("frmMS")->width(), ui::twips(5295));
    EXPECT_EQ(find<QWidget>("frmHFI")->width(), ui::twips(6975));
    auto* msGet = indexed("cmdMS", 1);
    EXPECT_EQ(msGet->parentWidget(), tab);
    EXPECT_GE(msGet->x(), find<QWidget>("frmMS")->geometry().right());

    // Panels follow each other down the page, sharing at most a border line.
    std::vector<QRect> panels;
    for (const char* frame : {"frmHFI", "frmAL", "frmSW", "frmDCS", "frmPWMM", "frmOCD", "frmMS",
                              "frmPC", "FrmLC", "frmAD"})
        panels.push_back(find<QWidget>(frame)->geometry());
    for (std::size_t i = 1; i < panels.size(); ++i)
        EXPECT_GE(panels[i].top(), panels[i - 1].bottom()) << i;
    EXPECT_LE(panels.back().bottom(), tab->height());

    for (QWidget* w : tab->findChildren<QWidget*>()) {
        if (!w->parentWidget() || w->objectName().isEmpty()) continue;
        const std::string name = w->objectName().toStdString();
        EXPECT_TRUE(w->parentWidget()->rect().contains(w->geometry())) << name;
        if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            const int needed = qobject_cast<QPushButton*>(w)
                                   ? w->fontMetrics().horizontalAdvance(button->text()) + 6
                                   : w->sizeHint().width();
            EXPECT_LE(needed, w->width()) << name << " clips " << button->text().toStdString();
        }
        const bool input = qobject_cast<QLineEdit*>(w) || qobject_cast<QAbstractButton*>(w) ||
                           qobject_cast<QComboBox*>(w) || qobject_cast<ui::UpDown*>(w);
        if (!input) continue;
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        ASSERT_NE(a, nullptr) << name;
        EXPECT_FALSE(a->text(QAccessible::Name).isEmpty()) << name;
    }
    EXPECT_EQ(box("txtHFI")->accessibleName(), "HFI-level");

    registerModules();
    auto* cbo = find<QComboBox>("cboKX");
    QStyleOptionComboBox option;
    option.initFrom(cbo);
    const QRect field = cbo->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                     QStyle::SC_ComboBoxEditField, cbo);
    for (int i = 0; i < cbo->count(); ++i)
        EXPECT_LE(cbo->fontMetrics().horizontalAdvance(cbo->itemText(i)), field.width())
            << cbo->itemText(i).toStdString();
    EXPECT_EQ(find<QComboBox>("cboKX")->accessibleName(), "Module");
}

TEST_F(KxPageTest, PageFollowsTheSelectionOfEachKind) {
    registerModules();
    EXPECT_EQ(find<QComboBox>("cboKX")->currentText(), " 0");
    EXPECT_EQ(find<QLabel>("lblKXtype")->text(), "KX-H");
    EXPECT_TRUE(shown("frmPC"));
    EXPECT_FALSE(shown("FrmLC"));
    EXPECT_TRUE(shown(indexed("cmdHFI", 1)));
    EXPECT_EQ(indexed<QPushButton>("cmdMS", 1)->text(), "Get MS mode");
    screenshot(window.get(), "kx_page_single_kxh");

    pick(" 2.1");
    EXPECT_EQ(find<QLabel>("lblKXtype")->text(), "KX44");
    EXPECT_TRUE(shown("frmMS"));
    EXPECT_FALSE(shown(indexed("cmdMS", 0)));
    EXPECT_TRUE(shown(indexed("cmdMS", 1)));
    EXPECT_FALSE(shown("frmPC"));
    EXPECT_FALSE(shown(indexed("optBank", 1)));
    screenshot(window.get(), "kx_page_single_kx44");

    pick(" 3");
    EXPECT_EQ(find<QLabel>("lblKXtype")->text(), "WOBE-s");
    for (const char* frame : {"frmSW", "FrmLC", "frmAD"}) EXPECT_TRUE(shown(frame)) << frame;
    for (const char* frame : {"frmHFI", "frmAL", "frmDCS", "frmPWMM", "frmOCD", "frmMS", "frmPC"})
        EXPECT_FALSE(shown(frame)) << frame;
    EXPECT_FALSE(shown(indexed("cmdSW", 1)));
    EXPECT_FALSE(shown(indexed("cmdMS", 1)));
    screenshot(window.get(), "kx_page_single_wobe");

    pick(" 7");
    EXPECT_FALSE(shown("lblKXtype"));
    EXPECT_TRUE(shown("frmPC"));
    EXPECT_TRUE(shown("FrmLC"));
    EXPECT_FALSE(shown(indexed("cmdAD", 1)));
    screenshot(window.get(), "kx_page_unknown");

    pick("All_KXxx");
    EXPECT_EQ(find<QLabel>("lblKXtype")->text(), "KXxx");
    EXPECT_FALSE(shown("frmMS"));
    EXPECT_FALSE(shown(indexed("cmdHFI", 1)));
    EXPECT_TRUE(shown(indexed("cmdMS", 1)));
    EXPECT_EQ(indexed<QPushButton>("cmdMS", 1)->text(), "Check MS mode");
    screenshot(window.get(), "kx_page_all_kxxx");
}

TEST_F(KxPageTest, StatusFillsTheListAndAdaptsThePage) {
    pickPort1();
    QTest::mouseClick(find<QPushButton>("cmdStatus"), Qt::LeftButton);
    auto* cbo = find<QComboBox>("cboKX");
    ASSERT_EQ(cbo->count(), 9);
    EXPECT_EQ(cbo->currentText(), " 0");
    EXPECT_EQ(find<QLabel>("lblKXtype")->text(), "KX-H");
    EXPECT_TRUE(shown(indexed("cmdHFI", 1)));
    pick(" 3");
    EXPECT_EQ(find<QLabel>("lblKXtype")->text(), "WOBE-s");
    const std::size_t from = mark();
    click("cmdAD", 1);
    EXPECT_EQ(commandsSince(from), (Frames{{0, 35, 8, 15}}));
    EXPECT_EQ(box("txtAD")->text(), "3");
    EXPECT_EQ(box("txtAD")->palette().color(QPalette::Base), kGreen);
}

TEST_F(KxPageTest, Bank1IsHiddenWithBank0SelectedAndComesBackUnselected) {
    registerModules();
    indexed<QRadioButton>("optBank", 1)->setChecked(true);
    pick("All_KX44");
    EXPECT_FALSE(shown(indexed("optBank", 1)));
    EXPECT_TRUE(indexed<QRadioButton>("optBank", 0)->isChecked());
    pick(" 5");
    EXPECT_TRUE(shown(indexed("optBank", 1)));
    EXPECT_TRUE(indexed<QRadioButton>("optBank", 0)->isChecked());
}

TEST_F(KxPageTest, SetThenGetShowsTheModulesValueInGreen) {
    registerModules();
    pickPort1();
    box("txtHFI")->setText("9");
    std::size_t from = mark();
    click("cmdHFI", 0);
    EXPECT_EQ(commandsSince(from), (Frames{{0, 32, 8, 1, 9}}));
    EXPECT_EQ(box("txtHFI")->palette().color(QPalette::Base), kGreen);

    leaveButton();
    EXPECT_NE(box("txtHFI")->palette().color(QPalette::Base), kGreen);
    box("txtHFI")->setText("3");
    from = mark();
    click("cmdHFI", 1);
    EXPECT_EQ(commandsSince(from), (Frames{{0, 32, 8, 1}}));
    EXPECT_EQ(box("txtHFI")->text(), "9");
    EXPECT_EQ(box("txtHFI")->palette().color(QPalette::Base), kGreen);
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(KxPageTest, ButtonsCorrectTheBoxAndCarryPermanentAndSelectors) {
    registerModules();
    pickPort1();
    pick(" 3");
    box("txtLC")->setText("5");
    indexed<QRadioButton>("OptLC", 1)->setChecked(true);
    std::size_t from = mark();
    click("cmdLC", 0);
    EXPECT_EQ(box("txtLC")->text(), "20");
    EXPECT_EQ(commandsSince(from), (Frames{{0, 35, 8, 14, 20}}));
    EXPECT_EQ(box("txtLC")->palette().color(QPalette::Base), kGreen);

    // No module answers at 7, so the box keeps the corrected text.
    pick(" 7");
    find<QCheckBox>("chkKXperm")->setChecked(true);
    box("txtHFI")->setText("99");
    from = mark();
    click("cmdHFI", 0);
    EXPECT_EQ(box("txtHFI")->text(), "15");
    EXPECT_EQ(commandsSince(from), (Frames{{0, 39, 8, 65, 15}}));

    // A Get corrects the box too; the module's answer comes with a later poll.
    pick(" 2.1");
    controller.faults().moduleAnswerDelay = 3;
    box("txtHFI")->setText("-4");
    from = mark();
    click("cmdHFI", 1);
    EXPECT_EQ(commandsSince(from), (Frames{{0, 34, 24, 65}}));
    EXPECT_EQ(box("txtHFI")->text(), "0");
    for (int tick = 0; tick < 5 && box("txtHFI")->text() == "0"; ++tick) window->pollTimer().tick();
    // The second half's permanent HFI level (7 in the demo).
    EXPECT_EQ(box("txtHFI")->text(), "7");
    EXPECT_EQ(box("txtHFI")->palette().color(QPalette::Base), kGreen);
}

TEST_F(KxPageTest, SpinnerStepsWithinItsRangeAndClearsTheGreen) {
    registerModules();
    pickPort1();
    click("cmdDCShift", 0);
    ASSERT_EQ(box("txtDCShift")->palette().color(QPalette::Base), kGreen);
    auto* spinner = find<ui::UpDown>("updownDCShift");
    EXPECT_EQ(spinner->minimum(), 0);
    EXPECT_EQ(spinner->maximum(), 7);
    spinner->stepBy(1);
    EXPECT_EQ(box("txtDCShift")->text(), "1");
    EXPECT_NE(box("txtDCShift")->palette().color(QPalette::Base), kGreen);
    box("txtDCShift")->setText("7");
    spinner->stepBy(1);
    EXPECT_EQ(box("txtDCShift")->text(), "7");
    QTest::keyClick(box("txtDCShift"), Qt::Key_Down);
    EXPECT_EQ(box("txtDCShift")->text(), "6");
    for (QToolButton* arrow : spinner->findChildren<QToolButton*>())
        if (arrow->accessibleName() == "Down") QTest::mouseClick(arrow, Qt::LeftButton);
    EXPECT_EQ(box("txtDCShift")->text(), "5");
    EXPECT_EQ(find<ui::UpDown>("UpDownLC")->minimum(), 20);
    EXPECT_EQ(find<ui::UpDown>("updownAL")->maximum(), 127);
}

TEST_F(KxPageTest, OptionAnswerSelectsTheButtonInGreenUntilTheButtonIsLeft) {
    registerModules();
    pickPort1();
    indexed<QRadioButton>("optPWMM", 16)->setChecked(true);
    const std::size_t from = mark();
    indexed("cmdPWMM", 0)->setFocus();
    click("cmdPWMM", 0);
    EXPECT_EQ(commandsSince(from), (Frames{{0, 32, 8, 9, 16}}));
    EXPECT_EQ(indexed("optPWMM", 16)->palette().color(QPalette::Button), kGreen);
    EXPECT_NE(indexed("optPWMM", 2)->palette().color(QPalette::Button), kGreen);

    // The demo module holds PWM 4 permanently; Get selects it and colours it.
    find<QCheckBox>("chkKXperm")->setChecked(true);
    click("cmdPWMM", 1);
    EXPECT_TRUE(indexed<QRadioButton>("optPWMM", 4)->isChecked());
    EXPECT_EQ(indexed("optPWMM", 4)->palette().color(QPalette::Button), kGreen);
    controller.queueMessage({0, 32, 10, 65, 11});
    window->pollTimer().tick();
    EXPECT_EQ(box("txtHFI")->text(), "11");
    screenshot(window.get(), "kx_page_confirmed");
    leaveButton();
    for (int i : {2, 4, 8, 16, 32})
        EXPECT_EQ(indexed("optPWMM", i)->palette().color(QPalette::Button),
                  QApplication::palette(indexed("optPWMM", i)).color(QPalette::Button));
}

TEST_F(KxPageTest, EraseAsksFirst) {
    registerModules();
    pickPort1();
    prompter.answer = MessageAnswer::Cancel;
    click("cmdErase", 0);
    EXPECT_EQ(prompter.texts().back(), "Operation Cancelled");
    EXPECT_TRUE(controller.framesReceived().empty());

    prompter.answer = MessageAnswer::Ok;
    find<QCheckBox>("chkKXperm")->setChecked(true);
    click("cmdErase", 0);
    EXPECT_EQ(commandsSince(0), (Frames{{0, 32, 8, 64}}));
    EXPECT_EQ(controller.system().modules[0].kxPermanent.value[1], 0);
}

TEST_F(KxPageTest, CheckMSModeJudgesTheDemoSystem) {
    registerModules();
    pickPort1();
    pick("All_KXxx");
    click("cmdMS", 1);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text,
              "KX-H 0 is master\r\nKX44  2.0 is slave\r\nKX-H 5 is slave\r\nKX44  2.1 is slave\r\n"
              "\r\nYour master/slave settings are OK");
    EXPECT_EQ(prompter.shown[0].icon, MessageIcon::None);
}

TEST_F(KxPageTest, ReportsAreIgnoredWhileNothingIsSelectedOrAGroupIs) {
    pickPort1();
    QTest::mouseClick(find<QPushButton>("cmdReset"), Qt::LeftButton);
    controller.queueMessage({0, 32, 10, 1, 12});
    window->pollTimer().tick();
    EXPECT_EQ(box("txtHFI")->text(), "0");
    EXPECT_NE(box("txtHFI")->palette().color(QPalette::Base), kGreen);

    registerModules();
    pick("All_KX-H");
    controller.queueMessage({0, 32, 10, 1, 12});
    window->pollTimer().tick();
    EXPECT_EQ(box("txtHFI")->text(), "0");
    pick(" 0");
    controller.queueMessage({0, 32, 10, 1, 12});
    window->pollTimer().tick();
    EXPECT_EQ(box("txtHFI")->text(), "12");
}

}  // namespace
}  // namespace korvel::testing
