#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <string>

#include "ui/kx_page.h"
#include "ui/placement.h"
#include "ui/twips.h"
#include "ui/up_down.h"

// Building the KX tab: every control at its drawn place, from one table.
namespace korvel::ui {

namespace {

// Places on the page itself are drawn from the top of the tab control; those
// inside a panel from the top of the panel. An element of a control array is
// listed as "name(index)". Each panel shares its bottom border line with the
// next. The alarm-delay panel would run 135 twips into the switch-delay panel
// below, and that one as far into the DC-shift panel; both are cut to meet
// their neighbour.
constexpr Placement kKxPagePlacements[] = {
    {"lbKX", "Module", 240, 600, 615, 255},
    {"cboKX", nullptr, 960, 600, 1215, 315},
    {"chkKXperm", "Permanent", 2280, 600, 1215, 315},
    {"cmdErase", "Erase All", 3960, 600, 1455, 375},
    {"lblKXtype", "Unknown", 5880, 600, 855, 255},
    {"frmHFI", nullptr, 120, 1080, 6975, 615, "frmAL"},
    {"cmdHFI(0)", nullptr, 120, 120, 1455, 375},
    {"txtHFI", nullptr, 4320, 165, 495, 285},
    {"updownHFI", nullptr, 4815, 165, 240, 285},
    {"cmdHFI(1)", nullptr, 5400, 120, 1455, 375},
    {"frmAL", nullptr, 120, 1680, 6975, 495, "frmSW"},
    {"cmdAL(0)", nullptr, 120, 60, 1455, 375},
    {"optAL(1)", "On-delay", 1920, 120, 1080, 255},
    {"optAL(0)", "Off-delay", 3000, 120, 1140, 255},
    {"txtAL", nullptr, 4320, 105, 495, 285},
    {"updownAL", nullptr, 4815, 105, 240, 285},
    {"cmdAL(1)", nullptr, 5400, 60, 1455, 375},
    {"frmSW", nullptr, 120, 2160, 6975, 735, "frmDCS"},
    {"cmdSW(0)", nullptr, 120, 240, 1455, 375},
    {"frmOnOff", nullptr, 1680, 60, 1215, 615},
    {"optSW(0)", "Off-delay", 90, 75, 1095, 255},
    {"optSW(1)", "On-delay", 90, 330, 1095, 255},
    {"frmBank", nullptr, 2985, 60, 1215, 615},
    {"optBank(0)", "Bank 0", 90, 75, 1095, 255},
    {"optBank(1)", "Bank 1", 90, 330, 1095, 255},
    {"txtSW", nullptr, 4320, 285, 495, 285},
    {"updownSW", nullptr, 4815, 285, 240, 285},
    {"cmdSW(1)", nullptr, 5400, 240, 1455, 375},
    {"frmDCS", nullptr, 120, 2880, 6975, 615, "frmPWMM"},
    {"cmdDCShift(0)", nullptr, 120, 120, 1455, 375},
    {"txtDCShift", nullptr, 4320, 165, 495, 285},
    {"updownDCShift", nullptr, 4815, 165, 240, 285},
    {"cmdDCShift(1)", nullptr, 5400, 120, 1455, 375},
    {"frmPWMM", nullptr, 120, 3480, 6975, 615, "frmOCD"},
    {"cmdPWMM(0)", nullptr, 120, 120, 1455, 375},
    {"optPWMM(2)", nullptr, 2040, 180, 540, 255},
    {"optPWMM(4)", nullptr, 2640, 180, 540, 255},
    {"optPWMM(8)", nullptr, 3240, 180, 540, 255},
    {"optPWMM(16)", nullptr, 3840, 180, 600, 255},
    {"optPWMM(32)", nullptr, 4500, 180, 600, 255},
    {"cmdPWMM(1)", nullptr, 5400, 120, 1455, 375},
    {"frmOCD", nullptr, 120, 4080, 6975, 615, "frmMS"},
    {"cmdOCD(0)", nullptr, 120, 120, 1455, 375},
    {"optOCD(0)", nullptr, 2040, 180, 780, 255},
    {"optOCD(1)", nullptr, 2880, 180, 1140, 255},
    {"optOCD(2)", nullptr, 4080, 180, 840, 255},
    {"cmdOCD(1)", nullptr, 5400, 120, 1455, 375},
    {"frmMS", nullptr, 120, 4680, 5295, 615, "frmPC"},
    {"cmdMS(0)", nullptr, 120, 120, 1455, 375},
    {"optMS(0)", nullptr, 2040, 180, 780, 255},
    {"optMS(1)", nullptr, 2880, 180, 960, 255},
    {"optMS(2)", nullptr, 3900, 180, 900, 255},
    {"cmdMS(1)", nullptr, 5520, 4800, 1455, 375},
    {"frmPC", nullptr, 120, 5280, 6975, 615, "FrmLC"},
    {"cmdPC(0)", nullptr, 120, 120, 1455, 375},
    {"optPC(0)", nullptr, 2040, 180, 960, 255},
    {"optPC(1)", nullptr, 3060, 180, 960, 255},
    {"cmdPC(1)", nullptr, 5400, 120, 1455, 375},
    {"FrmLC", nullptr, 120, 5880, 6975, 615, "frmAD"},
    {"cmdLC(0)", nullptr, 120, 120, 1455, 375},
    {"OptLC(0)", "Loop A", 2040, 180, 1020, 255},
    {"OptLC(1)", "Loop B", 3120, 180, 1020, 255},
    {"txtLC", nullptr, 4440, 165, 495, 285},
    {"UpDownLC", nullptr, 4935, 165, 240, 285},
    {"cmdLC(1)", nullptr, 5400, 120, 1455, 375},
    {"frmAD", nullptr, 120, 6480, 6975, 615},
    {"cmdAD(0)", nullptr, 120, 120, 1455, 375},
    {"txtAD", nullptr, 4440, 165, 495, 285},
    {"updownAD", nullptr, 4935, 165, 240, 285},
    {"cmdAD(1)", nullptr, 5400, 120, 1455, 375},
};

// Puts a widget at its row; `tab` is the page, whose rows count the tab strip.
// Array elements keep the array's name and carry their index, as the array's
// members all answer to one name.
void placeKx(QWidget* widget, QWidget* tab, const char* name, int index = -1) {
    const std::string key = index < 0 ? name : name + ("(" + std::to_string(index) + ")");
    Placement row = placementOf(kKxPagePlacements, key);
    if (widget->parentWidget() == tab) row.top -= kTabStripTwips;
    place(widget, row);
    if (index < 0) return;
    widget->setObjectName(name);
    widget->setProperty("index", index);
}

QGroupBox* makePanel(QWidget* tab, QWidget* parent, const char* name, const QString& accessible) {
    auto* frame = new QGroupBox(parent);
    placeKx(frame, tab, name);
    frame->setAccessibleName(accessible);
    return frame;
}

QPushButton* makeButton(QWidget* tab, QWidget* parent, const char* name, int index,
                        const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    placeKx(button, tab, name, index);
    return button;
}

QRadioButton* makeOption(QWidget* tab, QWidget* parent, const char* name, int index,
                         const QString& caption = {}) {
    auto* option = new QRadioButton(caption, parent);
    placeKx(option, tab, name, index);
    // A confirmed value is marked by the button's own background.
    option->setBackgroundRole(QPalette::Button);
    return option;
}

}  // namespace

void KxPage::buildTopRow() {
    lbKX_ = new QLabel(tab_);
    placeKx(lbKX_, tab_, "lbKX");

    cboKX_ = new QComboBox(tab_);
    placeKx(cboKX_, tab_, "cboKX");
    cboKX_->setAccessibleName("Module");
    lbKX_->setBuddy(cboKX_);

    chkKXperm_ = new QCheckBox(tab_);
    placeKx(chkKXperm_, tab_, "chkKXperm");

    cmdErase_ = new QPushButton(tab_);
    placeKx(cmdErase_, tab_, "cmdErase");

    lblKXtype_ = new QLabel(tab_);
    placeKx(lblKXtype_, tab_, "lblKXtype");
    lblKXtype_->hide();
}

void KxPage::buildPanels() {
    // Built in page order, which is also the keyboard's order through them.
    auto number = numbers_.begin();
    auto option = options_.begin();
    for (const KxSettingRow& row : kKxSettings) {
        if (row.isOption())
            buildOptionPanel(row, *option++);
        else
            buildNumberPanel(row, *number++);
    }
}

void KxPage::buildNumberPanel(const KxSettingRow& row, NumberPanel& p) {
    const KxControlNames& n = row.controls;
    p.setting = static_cast<KxNumberSetting>(row.field);
    const QString name = row.name;
    p.frame = makePanel(tab_, tab_, n.frame, name);
    p.cmd[0] = makeButton(tab_, p.frame, n.cmd, 0, "Set " + name);
    buildSelectors(row.field, p.frame);

    p.txt = new QLineEdit(p.frame);
    placeKx(p.txt, tab_, n.value);
    p.txt->setText(row.initialText);
    p.txt->setAccessibleName(name);

    p.updown = new UpDown(p.txt, row.range.minimum, row.range.maximum, p.frame);
    placeKx(p.updown, tab_, n.updown);
    p.updown->setAccessibleName(name);

    p.cmd[1] = makeButton(tab_, p.frame, n.cmd, 1, "Get " + name);
}

void KxPage::buildSelectors(KxSettingId field, QGroupBox* frame) {
    switch (field) {
        case KxSettingId::AlarmDelay:
            optAL_[1] = makeOption(tab_, frame, "optAL", 1);
            optAL_[0] = makeOption(tab_, frame, "optAL", 0);
            optAL_[0]->setChecked(true);
            break;
        case KxSettingId::SwitchDelay:
            buildSwitchDelaySelectors(frame);
            break;
        case KxSettingId::LoopCurrent:
            OptLC_[0] = makeOption(tab_, frame, "OptLC", 0);
            OptLC_[1] = makeOption(tab_, frame, "OptLC", 1);
            OptLC_[0]->setChecked(true);
            break;
        default:
            break;
    }
}

void KxPage::buildSwitchDelaySelectors(QGroupBox* sw) {
    frmOnOff_ = makePanel(tab_, sw, "frmOnOff", "Switch-delay");
    optSW_[0] = makeOption(tab_, frmOnOff_, "optSW", 0);
    optSW_[1] = makeOption(tab_, frmOnOff_, "optSW", 1);
    optSW_[0]->setChecked(true);

    frmBank_ = makePanel(tab_, sw, "frmBank", "Bank");
    optBank_[0] = makeOption(tab_, frmBank_, "optBank", 0);
    optBank_[1] = makeOption(tab_, frmBank_, "optBank", 1);
    optBank_[0]->setChecked(true);
}

void KxPage::buildOptionPanel(const KxSettingRow& row, OptionPanel& p) {
    const KxControlNames& n = row.controls;
    p.setting = static_cast<KxOptionSetting>(row.field);
    const QString name = row.name;
    p.frame = makePanel(tab_, tab_, n.frame, name);
    p.cmd[0] = makeButton(tab_, p.frame, n.cmd, 0, "Set " + name);

    for (const KxOptionValue& o : row.options)
        p.opt[o.value] = makeOption(tab_, p.frame, n.value, o.value, o.caption);
    p.opt.at(row.options.front().value)->setChecked(true);

    // cmdMS(1) stands on the page so that it can show while frmMS is hidden.
    const bool onPage = p.setting == KxOptionSetting::MSMode;
    p.cmd[1] = makeButton(tab_, onPage ? tab_ : p.frame, n.cmd, 1, "Get " + name);
}

}  // namespace korvel::ui
