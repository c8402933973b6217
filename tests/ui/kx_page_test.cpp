#include "ui/kx_page.h"

#include <QCheckBox>
#include <QComboBox>
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

TEST_F(KxPageTest, ModuleListShowsEveryEntryWhole) {
    registerModules();
    auto* cbo = find<QComboBox>("cboKX");
    QStyleOptionComboBox option;
    option.initFrom(cbo);
    const QRect field = cbo->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                     QStyle::SC_ComboBoxEditField, cbo);
    for (int i = 0; i < cbo->count(); ++i)
        EXPECT_LE(cbo->fontMetrics().horizontalAdvance(cbo->itemText(i)), field.width())
            << cbo->itemText(i).toStdString();
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
