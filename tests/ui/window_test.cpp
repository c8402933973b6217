// The windows as the user works them: what each control sends, shows and keeps,
// where it lies, and what the window does when the line misbehaves.
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetricsF>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include "sim/handlers.h"
#include "tests/ui/window_rig.h"
#include "ui/access_keys.h"
#include "ui/classic_status_dialog.h"
#include "ui/message_log.h"
#include "ui/placement.h"
#include "ui/standard_status_dialog.h"
#include "ui/up_down.h"
#include "ui/widget_kit.h"

namespace korvel::testing {
namespace {

using sim::FrameData;
using Frames = std::vector<FrameData>;

TEST_F(WindowTest, StartsWithPortsListedNothingSentAndTheVgTabInFront) {
    EXPECT_EQ(QStringList({window->windowTitle(), shown("cboPort"), shown("Check_Stop"),
                           shown("cboKX") + shown("cboZR"), shown("Frame_Test"),
                           find("cmdStatus")->toolTip()}),
              QStringList({"KorvelConfig 1.30A", " 1", "on", "", "hidden",
                           "Shift+Click for Classic View"}));
    EXPECT_EQ(window->tabs()->currentIndex(), 2);
    EXPECT_TRUE(controller.framesReceived().empty());
    screenshot(window.get(), "main_window");
}

TEST_F(WindowTest, ResetFaultAndTheMessageLog) {
    pickPort();
    click("cmdReset");
    EXPECT_EQ(std::tuple(polling(), window->pollTimer().timer.interval()), std::tuple(true, 50));
    showLogAndTestFrame();
    ui::MessageLogWindow* log = window->messageLog().existingWindow();
    ASSERT_NE(log, nullptr);
    EXPECT_EQ(log->windowTitle(), "Message Log");
    EXPECT_EQ(logText(), ">> 2A 01 00 55" + QString(17, ' ') + "<< 08 78\n");
    EXPECT_EQ(shown("Frame_Test"), "shown");
    controller.queueMessage({0, 64, 49, 12});
    tick();
    EXPECT_TRUE(logText().endsWith("  << 0C 00 40 31 0C 77\n"));
    screenshot(log, "message_log");
    QTest::mouseClick(log->findChild<QPushButton*>("cmdClear"), Qt::LeftButton);
    EXPECT_EQ(logText(), "");
    log->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    click("cmdReset");
    showLogAndTestFrame();
    EXPECT_TRUE(logText().startsWith(">> 2A 01 00 55"));  // a closed log starts anew
    click("cmdRefresh");
    EXPECT_FALSE(port.isOpen());
    pickPort();
    click("Check_Stop");
    click("cmdReset");
    EXPECT_EQ(port.written()[port.written().size() - 4] & 0x20, 0);  // Stop off: bit 5 clear
    window->close();
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(shown("dlgMsgLog"), "hidden");
}

TEST_F(WindowTest, StatusViewFollowsTheModifiersAndTheWindowsAreReused) {
    pickPort();
    click("cmdStatus");
    EXPECT_EQ(shown("dlgKorvelStatus44") + shown("dlgKorvelStatus"), "shownhidden");
    // A box of each kind; the texts themselves are the formatting's.
    const std::pair<const char*, const char*> standard[] = {
        {"txtSysVer", "VG-U 1.02"},    {"txtLicense", "Unknown"},   {"txtKXtype_2", "KX44"},
        {"txtKXversion_18", "1.01 G"}, {"txtZRstatus_6", "Active"}, {"txtQHver_4", "1.00 E"}};
    for (const auto& [box, text] : standard)
        EXPECT_EQ(shown(QString("dlgKorvelStatus44/") + box), text) << box;
    EXPECT_EQ(shown("lblVGtype"), "VG-U");
    screenshot(find("dlgKorvelStatus44"), "status_standard");
    find("dlgKorvelStatus44")->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    click("cmdStatus", Qt::ShiftModifier | Qt::ControlModifier);
    click("cmdStatus", Qt::ShiftModifier | Qt::AltModifier);
    EXPECT_EQ(shown("dlgKorvelStatus44") + shown("dlgKorvelStatus"), "shownhidden");
    click("cmdStatus", Qt::ShiftModifier);
    click("cmdStatus", Qt::ShiftModifier);
    EXPECT_EQ(window->findChildren<QDialog*>("dlgKorvelStatus").size(), 1);  // reused
    EXPECT_EQ(shown("dlgKorvelStatus"), "shown");
    const std::pair<const char*, const char*> classic[] = {{"txtProtVer", "3.10 A"},
                                                           {"txtCap", "87"},
                                                           {"txtDIP_1", "On"},
                                                           {"txtKXtype_3", "KXCC"},
                                                           {"txtZRstatus_6", "OK"}};
    for (const auto& [box, text] : classic)
        EXPECT_EQ(shown(QString("dlgKorvelStatus/") + box), text) << box;
    EXPECT_EQ(shown("cboKX"), "All_KX-H|All_WOBE| 0| 2| 3| 5");
    screenshot(find("dlgKorvelStatus"), "status_classic");
    EXPECT_TRUE(prompter.shown.empty());
    window->close();
    EXPECT_EQ(shown("dlgKorvelStatus") + shown("dlgKorvelStatus44"), "hiddenhidden");
}

TEST_F(WindowTest, KxValuesAreConfirmedInGreenUntilTheButtonIsLeft) {
    registerDemo();
    showTab(0);
    type("txtHFI", "9");
    std::size_t mark = controller.framesReceived().size();
    click("cmdHFI(0)");
    EXPECT_EQ(commandsSince(controller, mark), (Frames{{0, 32, 8, 1, 9}}));
    EXPECT_EQ(shown("txtHFI"), "9 green");
    find("chkKXperm")->setFocus();
    EXPECT_EQ(shown("txtHFI"), "9");
    click("chkKXperm");
    QApplication::processEvents();  // focus settles before the picture, as it would on a desk
    click("cmdPWMM(1)");
    EXPECT_EQ(shown("optPWMM(4)"), "on green");
    screenshot(window.get(), "kx_page_confirmed");
    // "Bank 1" ticked, then a KX44 hides it: back on a KX-H, "Bank 0" is the one ticked.
    click("chkKXperm");
    click("optBank(1)");
    pick("cboKX", " 2.0");
    EXPECT_EQ(shown("optBank(1)"), "hidden");
    pick("cboKX", " 0");
    EXPECT_EQ(shown("optBank(1)") + shown("optBank(0)"), "offon");
    mark = controller.framesReceived().size();
    click("cmdSW(0)");
    EXPECT_EQ(commandsSince(controller, mark)[0][3], 4);
}

// What each kind of selection offers: its type, the PC panel, Get buttons, the MS buttons.
TEST_F(WindowTest, KxPageFollowsTheKindOfTheSelection) {
    // A KX module of a type the program does not know.
    controller.system().modules.push_back(kxModule(7, sim::kAnswered | 5));
    // Before any selection the button carries its drawn caption.
    EXPECT_EQ(ui::withoutAccessKey(find<QPushButton>("cmdMS(1)")->text()), "Get MS-mode");
    registerDemo();
    showTab(0);
    const std::array<const char*, 6> rows[] = {
        {" 2.1", "KX44", "hidden", "shown", "hidden", "Get MS mode"},  // MS panel, no Set
        {" 7", "hidden", "shown", "hidden", "shown", "hidden"},
        {"All_KXxx", "KXxx", "hidden", "hidden", "hidden", "Check MS mode"}};
    for (const auto& [entry, type, pc, get, msSet, msGet] : rows) {
        pick("cboKX", entry);
        EXPECT_EQ(
            QStringList({shown("lblKXtype"), shown("frmPC"), shown("cmdHFI(1)"), shown("cmdMS(0)"),
                         shown("cmdMS(1)") == "hidden"
                             ? "hidden"
                             : ui::withoutAccessKey(find<QPushButton>("cmdMS(1)")->text())}),
            QStringList({type, pc, get, msSet, msGet}))
            << entry;
    }
}

TEST_F(WindowTest, ZrReportShownHiddenAndInColumnsThatLineUp) {
    showTab(1);
    EXPECT_EQ(shown("cmdGetZRConfig"), "hidden");  // no module list yet
    registerDemo();
    EXPECT_EQ(shown("cmdGetZRConfig"), "hidden");
    pick("cboZR", " 6");
    click("chkZRperm");
    click("cmdGetZRConfig");
    EXPECT_TRUE(shown("textZRReport").startsWith("ZR32#6 Permanent settings:\nDefault Timing ="));
    EXPECT_TRUE(find("textZRReport")->isVisible());
    screenshot(window.get(), "zr_page_report");
    // Every character of the report has the same advance with the font the machine has.
    auto* report = find<QPlainTextEdit>("textZRReport");
    const QFontMetricsF metrics(report->font(), report);
    const QString text = report->toPlainText().remove('\n');
    for (QChar c : text)
        ASSERT_EQ(metrics.horizontalAdvance(c), metrics.horizontalAdvance('0')) << int(c.unicode());
    pick("cboZR", "All");
    EXPECT_NE(shown("textZRReport"), "");
    EXPECT_FALSE(find("textZRReport")->isVisible());
    pick("cboZR", " 1");
    click("cmdGetZRConfig");
    click("cmdHideZRConfig");
    EXPECT_EQ(shown("textZRReport") + shown("cmdGetZRConfig"), "shown");
}

// The box, its tab, the module picked (nullptr for the test frame), an option picked first
// (or nullptr), the button, the text typed; the frame value that carries the box's number
// (-1: the decoder address), the number sent and what the box shows then.
using BoxCase = std::tuple<const char*, int, const char*, const char*, const char*, const char*,
                           int, int, const char*>;

class BoxWiring : public WindowTest, public ::testing::WithParamInterface<BoxCase> {};

// Modules that never confirm, so the box shows only what the button wrote back.
TEST_P(BoxWiring, SendsTheNumberWithinItsRangeAndShowsWhatWasSent) {
    const auto& [box, tab, entry, tick, button, typed, at, number, text] = GetParam();
    registerDemo();
    controller.system().modules.clear();
    showLogAndTestFrame();
    showTab(tab);
    if (entry) pick(tab == 0 ? "cboKX" : "cboZR", entry);
    if (tick) click(tick);
    type(box, typed);
    const std::size_t mark = controller.framesReceived().size();
    click(button);
    const Frames sent = commandsSince(controller, mark);
    ASSERT_EQ(sent.size(), 1u);
    const FrameData& f = sent[0];
    EXPECT_EQ(at >= 0 ? f[std::size_t(at)] : f[3] + 128 * (f.size() > 4 ? f[4] : 0), number);
    EXPECT_EQ(shown(box), text);
    EXPECT_TRUE(prompter.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(
    EveryBox, BoxWiring,
    ::testing::Values(
        BoxCase{"txtHFI", 0, " 0", nullptr, "cmdHFI(0)", "99", 4, 15, "15"},
        BoxCase{"txtAL", 0, " 0", nullptr, "cmdAL(0)", "-5", 4, 0, "0"},
        BoxCase{"txtSW", 0, " 0", nullptr, "cmdSW(0)", "7.5", 4, 7, "7"},
        BoxCase{"txtDCShift", 0, " 0", nullptr, "cmdDCShift(0)", "8", 4, 7, "7"},
        BoxCase{"txtLC", 0, " 3", nullptr, "cmdLC(0)", "19", 4, 20, "20"},
        BoxCase{"txtAD", 0, " 3", nullptr, "cmdAD(0)", "16", 4, 15, "15"},
        BoxCase{"txtZRtime", 1, " 1", nullptr, "cmdTIME", "128", 3, 127, "127"},
        BoxCase{"txtZRtime", 1, " 1", nullptr, "cmdDeviceTime", "13.5", 4, 14, "13.5"},
        BoxCase{"txtZRdevice", 1, " 1", nullptr, "cmdDevicePower", "64", 3, 63, "63"},
        BoxCase{"txtZRdevice", 1, " 1", nullptr, "cmdDeviceTime", "-1", 3, 0, "0"},
        BoxCase{"txtAL", 0, " 0", "optAL(1)", "cmdAL(0)", "5", 3, 3, "5"},
        BoxCase{"txtSW", 0, " 0", "optSW(1)", "cmdSW(0)", "5", 3, 6, "5"},
        BoxCase{"txtLC", 0, " 3", "OptLC(1)", "cmdLC(0)", "50", 3, 14, "50"},
        BoxCase{"txtZRdevice", 1, " 1", "optZRpower(2)", "cmdDevicePower", "5", 4, 2, "5"},
        BoxCase{"Text_Block", 2, nullptr, nullptr, "Command1(0)", "126.5", 1, 126, "126.5"},
        BoxCase{"Text_Decoder", 2, nullptr, nullptr, "Command1(0)", "16383", -1, 16383, "16383"}));

TEST_F(WindowTest, SpinnersStepWithinTheRangesOfTheirBoxes) {
    const std::tuple<const char*, int, int> spinners[] = {
        {"updownHFI", 0, 15},     {"updownAL", 0, 127},     {"updownSW", 0, 7},
        {"updownDCShift", 0, 7},  {"UpDownLC", 20, 70},     {"updownAD", 0, 15},
        {"updownZRtime", 0, 127}, {"updownZRdevice", 0, 63}};
    for (const auto& [name, minimum, maximum] : spinners) {
        const ui::UpDown* spinner = find<ui::UpDown>(name);
        EXPECT_EQ(std::tuple(spinner->minimum(), spinner->maximum()), std::tuple(minimum, maximum))
            << name;
    }
    showTab(1);
    type("txtZRdevice", "63");
    find<ui::UpDown>("updownZRdevice")->stepBy(1);
    EXPECT_EQ(shown("txtZRdevice"), "63");
    QTest::keyClick(find("txtZRdevice"), Qt::Key_Down);
    EXPECT_EQ(shown("txtZRdevice"), "62");
    for (QToolButton* arrow : find("updownZRdevice")->findChildren<QToolButton*>())
        if (arrow->accessibleName() == "Down") QTest::mouseClick(arrow, Qt::LeftButton);
    EXPECT_EQ(shown("txtZRdevice"), "61");
}

TEST_F(WindowTest, TestFrameSendsTheTickedPatternOfItsButtonsGroup) {
    pickPort();
    showLogAndTestFrame();
    screenshot(find("Frame_Test"), "test_frame");
    click("Check_Pattern(0)");
    click("Check_Pattern(4)");
    click("Command1(1)");
    EXPECT_EQ(controller.decoderCommands(), (Frames{{40, 0, 49, 1}}));
}

TEST_F(WindowTest, VgPageOffersWhatTheUnitHasAndSendsNoHiddenTick) {
    // The numbers of the configuration and the option boxes the page shows.
    const auto offered = [&] {
        QString numbers[2];
        for (int i = 0; i < 8; ++i)
            for (int k : {0, 1})
                if (shown(QString(k ? "chkVGUoptions_%1" : "chkVGUconfig_%1").arg(i)) != "hidden")
                    numbers[k] += QString::number(i);
        return numbers[0] + " " + numbers[1];
    };
    EXPECT_EQ(offered(), "0456 1456");
    screenshot(window.get(), "vg_page");
    pickPort();
    click("chkVGUoptions_1");
    click("cmdOptions");
    EXPECT_EQ(controller.framesReceived()[1], (FrameData{1, 5, 2}));
    // A newer WOBE has the firmware's option boxes and not the unit's; an older VG-U the
    // reverse; an older WOBE neither. The tick on box 0 stays, hidden on a WOBE.
    click("chkVGUconfig_0");
    const std::tuple<int, int, const char*> units[] = {
        {10, 1030, "4 45"}, {2, 1010, "0456 16"}, {10, 1020, "4 "}};
    for (const auto& [type, version, boxes] : units) {
        controller.system().systemType = type;
        controller.system().systemVersion = version;
        click("cmdStatus");
        EXPECT_EQ(offered(), boxes) << type;
    }
    EXPECT_EQ(shown("lblVGtype") + shown("frmOPT"), "WOBEhidden");
    click("chkVGUconfig_4");
    click("chkVGperm");
    const std::size_t mark = controller.framesReceived().size();
    click("cmdConfig");
    EXPECT_EQ(commandsSince(controller, mark), (Frames{{1, 7, 0, 1}}));
}

// Tab walks a page row by row, each row from left to right.
TEST_F(WindowTest, TabWalksThePageRowByRow) {
    registerDemo();
    showTab(1);
    find("cboZR")->setFocus();
    QStringList order;
    for (int i = 0; i < 10; ++i, QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab))
        order << QApplication::focusWidget()->objectName();
    EXPECT_EQ(order.join(' ').toStdString(),
              "cboZR chkZRperm cmdZRerase txtZRtime cmdTIME txtZRdevice "
              "cmdDeviceTime optZRpower(0) cmdDevicePower cboPort");
}

TEST_F(WindowTest, EveryInputIsNamedForScreenReadersAndEnterPressesAButton) {
    pickPort();
    click("cmdStatus");
    click("cmdStatus", Qt::ShiftModifier);
    showLogAndTestFrame();
    int inputs = 0;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (!top->isVisible()) continue;
        for (QWidget* w : top->findChildren<QWidget*>()) {
            const bool input =
                qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w) ||
                qobject_cast<QAbstractButton*>(w) || qobject_cast<QPlainTextEdit*>(w) ||
                qobject_cast<QAbstractItemView*>(w) || qobject_cast<QAbstractSpinBox*>(w);
            if (!input || w->focusPolicy() == Qt::NoFocus) continue;
            ++inputs;
            QAccessibleInterface* face = QAccessible::queryAccessibleInterface(w);
            EXPECT_FALSE(face && face->text(QAccessible::Name).trimmed().isEmpty())
                << w->objectName().toStdString();
        }
    }
    EXPECT_GT(inputs, 80);
    find("cmdReset")->setFocus();
    const std::size_t frames = controller.framesReceived().size();
    QTest::keyClick(find("cmdReset"), Qt::Key_Return);
    EXPECT_EQ(controller.framesReceived().size(), frames + 1);
}

// Controls are the named widgets we made; Qt's own parts are named "qt_..." or
// live in a tab bar, and the pages of a tab control lie on one another by nature.
bool isControl(const QWidget* w) {
    const QWidget* parent = w->parentWidget();
    return !w->objectName().isEmpty() && !w->objectName().startsWith("qt_") &&
           qobject_cast<const QStackedWidget*>(parent) == nullptr &&
           qobject_cast<const QTabBar*>(parent) == nullptr;
}

// The width a control needs to show its whole caption; 0 for controls without one.
int captionWidth(const QWidget* w) {
    const QStyle* style = w->style();
    if (auto* button = qobject_cast<const QPushButton*>(w))
        return w->fontMetrics().horizontalAdvance(ui::withoutAccessKey(button->text())) + 6;
    const bool option = qobject_cast<const QRadioButton*>(w) != nullptr;
    if (!option && !qobject_cast<const QCheckBox*>(w)) return 0;
    using S = QStyle;
    return style->pixelMetric(option ? S::PM_ExclusiveIndicatorWidth : S::PM_IndicatorWidth, {},
                              w) +
           style->pixelMetric(option ? S::PM_RadioButtonLabelSpacing : S::PM_CheckBoxLabelSpacing,
                              {}, w) +
           w->fontMetrics().horizontalAdvance(static_cast<const QAbstractButton*>(w)->text());
}

std::string nameOf(const QWidget* w) {
    const QVariant index = w->property("index");
    const std::string name = w->objectName().toStdString();
    return index.isValid() ? name + "(" + index.toString().toStdString() + ")" : name;
}

bool overlapNamed(const QWidget* a, const QWidget* b) {
    return a->property(ui::kOverlapsProperty).toString() == b->objectName() ||
           b->property(ui::kOverlapsProperty).toString() == a->objectName();
}

// Every control lies inside its parent, overlaps no sibling but the one its
// placement names, and shows its whole caption.
void expectSoundGeometry(QWidget* window) {
    QList<QWidget*> controls = window->findChildren<QWidget*>();
    controls.removeIf([](const QWidget* w) { return !isControl(w); });
    ASSERT_GT(controls.size(), 1);
    for (const QWidget* w : controls) {
        EXPECT_TRUE(w->parentWidget()->rect().contains(w->geometry())) << nameOf(w);
        EXPECT_LE(captionWidth(w), w->width()) << nameOf(w) << " clips its caption";
        for (const QWidget* other : controls) {
            if (other <= w || other->parentWidget() != w->parentWidget()) continue;
            EXPECT_TRUE(!w->geometry().intersects(other->geometry()) || overlapNamed(w, other))
                << nameOf(w) << " overlaps " << nameOf(other);
        }
    }
}

TEST_F(WindowTest, EveryWindowKeepsItsControlsApartAndWhole) {
    expectSoundGeometry(window.get());
    ui::MessageLogWindow log(nullptr);
    ui::StandardStatusDialog standard(nullptr);
    ui::ClassicStatusDialog classic(nullptr);
    for (QWidget* w : std::initializer_list<QWidget*>{&log, &standard, &classic})
        expectSoundGeometry(w);
}

// The window when the line misbehaves: the message log as a record, one request
// per press, the cursor under a message box, and a report on the closing frame
// of a status request.
TEST_F(WindowTest, TheLogIsARecordThatEscapeOnlyHides) {
    pickPort();
    window->messageLog().showWindow();
    window->link().Transact(Frame{1, 0});
    ui::MessageLogWindow* log = window->messageLog().existingWindow();
    const QString logged = log->text();
    ASSERT_FALSE(logged.isEmpty());
    QTest::keyClick(log, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(log->isVisible());
    EXPECT_EQ(window->messageLog().existingWindow(), log);
    EXPECT_EQ(log->text(), logged);
}

TEST_F(WindowTest, AShiftDoubleClickOnStatusRunsOneClassicRequest) {
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
TEST_F(WindowTest, AReportOnTheClosingFrameMeetsTheNewList) {
    pickPort();
    click("cmdStatus");
    pick("cboKX", " 3");
    controller.queueMessage({0, 32, 10, 1, 12});
    click("cmdStatus");
    EXPECT_EQ(find<QComboBox>("cboKX")->currentText(), " 0");
    EXPECT_EQ(shown("txtHFI"), "12 green");
    controller.queueMessage({0, 32, 10, 1});  // too short to be a settings report
    window->link().pollTick();
    EXPECT_EQ(shown("txtHFI"), "12 green");
}

}  // namespace
}  // namespace korvel::testing
