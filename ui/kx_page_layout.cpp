#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <array>
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
// listed as "name(index)". The top row, and the selectors that some panels hold
// beside their setting's own controls.
constexpr Placement kKxPagePlacements[] = {
    {"lbKX", KORVEL_TEXT("Korvel", "Module"), 240, 600, 615, 255},
    {"cboKX", nullptr, 960, 600, 1215, 315},
    {"chkKXperm", KORVEL_TEXT("Korvel", "Permanent"), 2280, 600, 1215, 315},
    {"cmdErase", KORVEL_TEXT("Korvel", "Erase All"), 3960, 600, 1455, 375},
    {"lblKXtype", KORVEL_TEXT("Korvel", "Unknown"), 5880, 600, 855, 255},
    {"optAL(1)", KORVEL_TEXT("Korvel", "On-delay"), 1920, 120, 1080, 255},
    {"optAL(0)", KORVEL_TEXT("Korvel", "Off-delay"), 3000, 120, 1140, 255},
    {"frmOnOff", nullptr, 1680, 60, 1215, 615},
    {"optSW(0)", KORVEL_TEXT("Korvel", "Off-delay"), 90, 75, 1095, 255},
    {"optSW(1)", KORVEL_TEXT("Korvel", "On-delay"), 90, 330, 1095, 255},
    {"frmBank", nullptr, 2985, 60, 1215, 615},
    {"optBank(0)", KORVEL_TEXT("Korvel", "Bank 0"), 90, 75, 1095, 255},
    {"optBank(1)", KORVEL_TEXT("Korvel", "Bank 1"), 90, 330, 1095, 255},
    {"OptLC(0)", KORVEL_TEXT("Korvel", "Loop A"), 2040, 180, 1020, 255},
    {"OptLC(1)", KORVEL_TEXT("Korvel", "Loop B"), 3120, 180, 1020, 255},
};

// Left, top, width and height in twips.
struct Box {
    int left, top, width, height;
};

// One setting's panel, keyed by the setting: the names of its controls and
// where each stands. Set and Get are the button array `cmd` at index 0 and 1;
// a number setting has its text box and spinner, an option setting one button
// per option of its row in kKxSettings, in that order, named `value`.
struct KxPanelPlacement {
    KxSettingId setting;
    const char* frame;
    Box frameBox;
    const char* overlaps;  // each panel shares its bottom border line with the next
    const char* cmd;
    Box set, get;
    const char* value;
    Box valueBox;  // number settings
    const char* updown;
    Box updownBox;
    std::array<Box, 5> optionBoxes{};  // option settings
};

// The alarm-delay panel would run 135 twips into the switch-delay panel below,
// and that one as far into the DC-shift panel; both are cut to meet their
// neighbour. cmdMS(1) stands on the page, so that it can show while frmMS is hidden.
// clang-format off
constexpr auto kKxPanelPlacements = std::to_array<KxPanelPlacement>({
    {KxSettingId::Hfi, "frmHFI", {120, 1080, 6975, 615}, "frmAL", "cmdHFI",
     {120, 120, 1455, 375}, {5400, 120, 1455, 375},
     "txtHFI", {4320, 165, 495, 285}, "updownHFI", {4815, 165, 240, 285}},
    {KxSettingId::AlarmDelay, "frmAL", {120, 1680, 6975, 495}, "frmSW", "cmdAL",
     {120, 60, 1455, 375}, {5400, 60, 1455, 375},
     "txtAL", {4320, 105, 495, 285}, "updownAL", {4815, 105, 240, 285}},
    {KxSettingId::SwitchDelay, "frmSW", {120, 2160, 6975, 735}, "frmDCS", "cmdSW",
     {120, 240, 1455, 375}, {5400, 240, 1455, 375},
     "txtSW", {4320, 285, 495, 285}, "updownSW", {4815, 285, 240, 285}},
    {KxSettingId::DcShift, "frmDCS", {120, 2880, 6975, 615}, "frmPWMM", "cmdDCShift",
     {120, 120, 1455, 375}, {5400, 120, 1455, 375},
     "txtDCShift", {4320, 165, 495, 285}, "updownDCShift", {4815, 165, 240, 285}},
    {KxSettingId::PwmMult, "frmPWMM", {120, 3480, 6975, 615}, "frmOCD", "cmdPWMM",
     {120, 120, 1455, 375}, {5400, 120, 1455, 375}, "optPWMM", {}, nullptr, {},
     {{{2040, 180, 540, 255}, {2640, 180, 540, 255}, {3240, 180, 540, 255},
       {3840, 180, 600, 255}, {4500, 180, 600, 255}}}},
    {KxSettingId::OcdMode, "frmOCD", {120, 4080, 6975, 615}, "frmMS", "cmdOCD",
     {120, 120, 1455, 375}, {5400, 120, 1455, 375}, "optOCD", {}, nullptr, {},
     {{{2040, 180, 780, 255}, {2880, 180, 1140, 255}, {4080, 180, 840, 255}}}},
    {KxSettingId::MsMode, "frmMS", {120, 4680, 5295, 615}, "frmPC", "cmdMS",
     {120, 120, 1455, 375}, {5520, 4800, 1455, 375}, "optMS", {}, nullptr, {},
     {{{2040, 180, 780, 255}, {2880, 180, 960, 255}, {3900, 180, 900, 255}}}},
    {KxSettingId::PowerCtl, "frmPC", {120, 5280, 6975, 615}, "FrmLC", "cmdPC",
     {120, 120, 1455, 375}, {5400, 120, 1455, 375}, "optPC", {}, nullptr, {},
     {{{2040, 180, 960, 255}, {3060, 180, 960, 255}}}},
    {KxSettingId::LoopCurrent, "FrmLC", {120, 5880, 6975, 615}, "frmAD", "cmdLC",
     {120, 120, 1455, 375}, {5400, 120, 1455, 375},
     "txtLC", {4440, 165, 495, 285}, "UpDownLC", {4935, 165, 240, 285}},
    {KxSettingId::Address, "frmAD", {120, 6480, 6975, 615}, nullptr, "cmdAD",
     {120, 120, 1455, 375}, {5400, 120, 1455, 375},
     "txtAD", {4440, 165, 495, 285}, "updownAD", {4935, 165, 240, 285}},
});
// clang-format on

constexpr bool panelsFollowTheSettings() {
    if (kKxPanelPlacements.size() != kKxSettings.size()) return false;
    for (std::size_t i = 0; i < kKxPanelPlacements.size(); ++i)
        if (kKxPanelPlacements[i].setting != kKxSettings[i].field ||
            kKxSettings[i].options.size() > kKxPanelPlacements[i].optionBoxes.size())
            return false;
    return true;
}
static_assert(panelsFollowTheSettings(), "one panel placement per KX setting, in table order");

const KxPanelPlacement& panelOf(KxSettingId setting) {
    return kKxPanelPlacements[static_cast<std::size_t>(setting)];
}

// Puts a widget at a place; `tab` is the page, whose places count the tab strip.
// Array elements keep the array's name and carry their index, as the array's
// members all answer to one name.
void placeAt(QWidget* widget, QWidget* tab, Placement row, int index = -1) {
    if (widget->parentWidget() == tab) row.top -= kTabStripTwips;
    place(widget, row);
    if (index >= 0) widget->setProperty("index", index);
}

void placeAt(QWidget* widget, QWidget* tab, const char* name, Box box, int index = -1,
             const char* overlaps = nullptr) {
    placeAt(widget, tab, {name, nullptr, box.left, box.top, box.width, box.height, overlaps},
            index);
}

// Puts a widget at its row; `tab` is the page, whose rows count the tab strip.
// Array elements keep the array's name and carry their index, as the array's
// members all answer to one name.
void placeKx(QWidget* widget, QWidget* tab, const char* name, int index = -1) {
    const std::string key = index < 0 ? name : name + ("(" + std::to_string(index) + ")");
    Placement row = placementOf(kKxPagePlacements, key);
    row.name = name;
    placeAt(widget, tab, row, index);
}

QGroupBox* makePanel(QWidget* tab, QWidget* parent, const char* name, const QString& accessible) {
    auto* frame = new QGroupBox(parent);
    placeKx(frame, tab, name);
    frame->setAccessibleName(accessible);
    return frame;
}

QGroupBox* makePanel(QWidget* tab, const KxPanelPlacement& p, const QString& accessible) {
    auto* frame = new QGroupBox(tab);
    placeAt(frame, tab, p.frame, p.frameBox, -1, p.overlaps);
    frame->setAccessibleName(accessible);
    return frame;
}

QPushButton* makeButton(QWidget* tab, QWidget* parent, const KxPanelPlacement& p, KxButton which,
                        const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    const int index = static_cast<int>(which);
    placeAt(button, tab, p.cmd, which == KxButton::Set ? p.set : p.get, index);
    return button;
}

// A confirmed value is marked by the button's own background.
QRadioButton* markable(QRadioButton* option) {
    option->setBackgroundRole(QPalette::Button);
    return option;
}

QRadioButton* makeOption(QWidget* tab, QWidget* parent, const char* name, int index) {
    auto* option = new QRadioButton(parent);
    placeKx(option, tab, name, index);
    return markable(option);
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
    const KxPanelPlacement& at = panelOf(row.field);
    p.setting = static_cast<KxNumberSetting>(row.field);
    const QString name = row.name;
    p.frame = makePanel(tab_, at, name);
    p.cmd[0] = makeButton(tab_, p.frame, at, KxButton::Set, "Set " + name);
    buildSelectors(row.field, p.frame);

    p.txt = new QLineEdit(p.frame);
    placeAt(p.txt, tab_, at.value, at.valueBox);
    p.txt->setText(row.initialText);
    p.txt->setAccessibleName(name);

    p.updown = new UpDown(p.txt, row.range.minimum, row.range.maximum, p.frame);
    placeAt(p.updown, tab_, at.updown, at.updownBox);
    p.updown->setAccessibleName(name);

    p.cmd[1] = makeButton(tab_, p.frame, at, KxButton::Get, "Get " + name);
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
    const KxPanelPlacement& at = panelOf(row.field);
    p.setting = static_cast<KxOptionSetting>(row.field);
    const QString name = row.name;
    p.frame = makePanel(tab_, at, name);
    p.cmd[0] = makeButton(tab_, p.frame, at, KxButton::Set, "Set " + name);

    const Box* box = at.optionBoxes.begin();
    for (const KxOptionValue& o : row.options) {
        auto* option = markable(new QRadioButton(o.caption, p.frame));
        placeAt(option, tab_, at.value, *box++, o.value);
        p.opt[o.value] = option;
    }
    p.opt.at(row.options.front().value)->setChecked(true);

    const bool onPage = p.setting == KxOptionSetting::MSMode;
    p.cmd[1] = makeButton(tab_, onPage ? tab_ : p.frame, at, KxButton::Get, "Get " + name);
}

}  // namespace korvel::ui
