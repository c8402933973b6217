#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "ui/kx_page.h"
#include "ui/twips.h"
#include "ui/up_down.h"

// Building the KX tab: every control at its drawn position (twips).
namespace korvel::ui {

namespace {

constexpr int kPanelLeft = 120;
constexpr int kPanelWidth = 6975;
constexpr int kPanelHeight = 615;
constexpr int kButtonWidth = 1455;
constexpr int kButtonHeight = 375;
constexpr int kGetLeft = 5400;
constexpr int kBoxWidth = 495;
constexpr int kBoxHeight = 285;
constexpr int kSpinnerWidth = 240;
constexpr int kOptionHeight = 255;

// The alarm-delay panel would run 135 twips into the switch-delay panel below,
// and that one as far into the DC-shift panel; both are cut to meet their neighbour.
constexpr int kAlarmHeight = 2160 - 1680 + 15;
constexpr int kSwitchHeight = 2880 - 2160 + 15;

struct NumberLayout {
    KxNumberSetting setting;
    const char* frame;
    int top;
    int height;
    int buttonTop;
    int boxLeft;
    const char* txt;
    const char* updown;
    const char* cmd;
    const char* name;
};

constexpr NumberLayout kNumberLayouts[] = {
    {KxNumberSetting::HFI, "frmHFI", 1080, kPanelHeight, 120, 4320, "txtHFI", "updownHFI", "cmdHFI",
     "HFI-level"},
    {KxNumberSetting::AlarmDelay, "frmAL", 1680, kAlarmHeight, 60, 4320, "txtAL", "updownAL",
     "cmdAL", "Alarm-delay"},
    {KxNumberSetting::SwitchDelay, "frmSW", 2160, kSwitchHeight, 240, 4320, "txtSW", "updownSW",
     "cmdSW", "Switch-delay"},
    {KxNumberSetting::DCShift, "frmDCS", 2880, kPanelHeight, 120, 4320, "txtDCShift",
     "updownDCShift", "cmdDCShift", "DC-Shift"},
    {KxNumberSetting::LoopCurrent, "FrmLC", 5880, kPanelHeight, 120, 4440, "txtLC", "UpDownLC",
     "cmdLC", "Loop Current"},
    {KxNumberSetting::Address, "frmAD", 6480, kPanelHeight, 120, 4440, "txtAD", "updownAD", "cmdAD",
     "Address"},
};

struct OptionLayout {
    int index;
    const char* caption;
    int left;
    int width;
};

struct OptionPanelLayout {
    KxOptionSetting setting;
    const char* frame;
    int top;
    int width;
    const char* opt;
    const char* cmd;
    const char* name;
    std::vector<OptionLayout> options;
};

const std::vector<OptionPanelLayout>& optionPanelLayouts() {
    static const std::vector<OptionPanelLayout> layouts = {
        {KxOptionSetting::PWMMult,
         "frmPWMM",
         3480,
         kPanelWidth,
         "optPWMM",
         "cmdPWMM",
         "PWM-Mult.",
         {{2, "2", 2040, 540},
          {4, "4", 2640, 540},
          {8, "8", 3240, 540},
          {16, "16", 3840, 600},
          {32, "32", 4500, 600}}},
        {KxOptionSetting::OCDMode,
         "frmOCD",
         4080,
         kPanelWidth,
         "optOCD",
         "cmdOCD",
         "OCD-mode",
         {{0, "Fast", 2040, 780}, {1, "Moderate", 2880, 1140}, {2, "Slow", 4080, 840}}},
        {KxOptionSetting::MSMode,
         "frmMS",
         4680,
         5295,
         "optMS",
         "cmdMS",
         "MS-mode",
         {{0, "Auto", 2040, 780}, {1, "Master", 2880, 960}, {2, "Slave", 3900, 900}}},
        {KxOptionSetting::PowerCtl,
         "frmPC",
         5280,
         kPanelWidth,
         "optPC",
         "cmdPC",
         "Power CTL",
         {{0, "Single", 2040, 960}, {1, "Double", 3060, 960}}},
    };
    return layouts;
}

QGroupBox* makePanel(const char* name, const QString& accessible, QWidget* parent) {
    auto* frame = new QGroupBox(parent);
    frame->setObjectName(name);
    frame->setAccessibleName(accessible);
    return frame;
}

QPushButton* makeButton(const char* name, int index, const QString& caption, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setProperty("index", index);
    return button;
}

QRadioButton* makeOption(const char* name, int index, const QString& caption, QWidget* parent) {
    auto* option = new QRadioButton(caption, parent);
    option->setObjectName(name);
    option->setProperty("index", index);
    // A confirmed value is marked by the button's own background.
    option->setBackgroundRole(QPalette::Button);
    return option;
}

// Centres a control of `height` twips in a panel of `panelHeight`.
int centred(int panelHeight, int height) {
    return (panelHeight - height) / 2;
}

}  // namespace

void KxPage::buildTopRow() {
    lbKX_ = new QLabel("Module", tab_);
    lbKX_->setObjectName("lbKX");
    placeOnTab(lbKX_, 240, 600, 615, 255);

    cboKX_ = new QComboBox(tab_);
    cboKX_->setObjectName("cboKX");
    cboKX_->setAccessibleName("Module");
    lbKX_->setBuddy(cboKX_);
    // Drawn 1095 wide, which clips "All_WOBE" in this font; the gap to its right takes the rest.
    placeOnTab(cboKX_, 960, 600, 1215, 315);

    chkKXperm_ = new QCheckBox("Permanent", tab_);
    chkKXperm_->setObjectName("chkKXperm");
    placeOnTab(chkKXperm_, 2280, 600, 1215, 315);

    cmdErase_ = new QPushButton("Erase All", tab_);
    cmdErase_->setObjectName("cmdErase");
    placeOnTab(cmdErase_, 3960, 600, 1455, 375);

    lblKXtype_ = new QLabel("Unknown", tab_);
    lblKXtype_->setObjectName("lblKXtype");
    placeOnTab(lblKXtype_, 5880, 600, 855, 255);
    lblKXtype_->hide();
}

void KxPage::buildPanels() {
    // Built in page order, which is also the keyboard's order through them.
    for (int i = 0; i < 4; ++i) buildNumberPanel(i);
    for (int i = 0; i < 4; ++i) buildOptionPanel(i);
    for (int i = 4; i < 6; ++i) buildNumberPanel(i);
}

void KxPage::buildNumberPanel(int layoutIndex) {
    const NumberLayout& l = kNumberLayouts[layoutIndex];
    NumberPanel& p = number(l.setting);
    p.setting = l.setting;
    const QString name = l.name;
    p.frame = makePanel(l.frame, name, tab_);
    placeOnTab(p.frame, kPanelLeft, l.top, kPanelWidth, l.height);
    p.cmd[0] = makeButton(l.cmd, 0, "Set " + name, p.frame);
    placeTwips(p.cmd[0], 120, l.buttonTop, kButtonWidth, kButtonHeight);
    buildSelectors(l.setting, p.frame);

    p.txt = new QLineEdit(initialText(l.setting), p.frame);
    p.txt->setObjectName(l.txt);
    p.txt->setAccessibleName(name);
    const int boxTop = l.buttonTop + centred(kButtonHeight, kBoxHeight);
    placeTwips(p.txt, l.boxLeft, boxTop, kBoxWidth, kBoxHeight);

    const KxRange range = rangeOf(l.setting);
    p.updown = new UpDown(p.txt, range.minimum, range.maximum, p.frame);
    p.updown->setObjectName(l.updown);
    p.updown->setAccessibleName(name);
    placeTwips(p.updown, l.boxLeft + kBoxWidth, boxTop, kSpinnerWidth, kBoxHeight);

    p.cmd[1] = makeButton(l.cmd, 1, "Get " + name, p.frame);
    placeTwips(p.cmd[1], kGetLeft, l.buttonTop, kButtonWidth, kButtonHeight);
}

void KxPage::buildSelectors(KxNumberSetting setting, QGroupBox* frame) {
    switch (setting) {
        case KxNumberSetting::AlarmDelay: {
            const int top = centred(kAlarmHeight, kOptionHeight);
            optAL_[1] = makeOption("optAL", 1, "On-delay", frame);
            optAL_[0] = makeOption("optAL", 0, "Off-delay", frame);
            placeTwips(optAL_[1], 1920, top, 1080, kOptionHeight);
            placeTwips(optAL_[0], 3000, top, 1140, kOptionHeight);
            optAL_[0]->setChecked(true);
            break;
        }
        case KxNumberSetting::SwitchDelay:
            buildSwitchDelaySelectors(frame);
            break;
        case KxNumberSetting::LoopCurrent: {
            const int top = centred(kPanelHeight, kOptionHeight);
            OptLC_[0] = makeOption("OptLC", 0, "Loop A", frame);
            OptLC_[1] = makeOption("OptLC", 1, "Loop B", frame);
            placeTwips(OptLC_[0], 2040, top, 1020, kOptionHeight);
            placeTwips(OptLC_[1], 3120, top, 1020, kOptionHeight);
            OptLC_[0]->setChecked(true);
            break;
        }
        default:
            break;
    }
}

void KxPage::buildSwitchDelaySelectors(QGroupBox* sw) {
    constexpr int kSubTop = 60;
    constexpr int kSubHeight = kSwitchHeight - 2 * kSubTop;

    frmOnOff_ = makePanel("frmOnOff", "Switch-delay", sw);
    placeTwips(frmOnOff_, 1680, kSubTop, 1215, kSubHeight);
    optSW_[0] = makeOption("optSW", 0, "Off-delay", frmOnOff_);
    optSW_[1] = makeOption("optSW", 1, "On-delay", frmOnOff_);
    placeTwips(optSW_[0], 90, 75, 1095, kOptionHeight);
    placeTwips(optSW_[1], 90, 330, 1095, kOptionHeight);
    optSW_[0]->setChecked(true);

    frmBank_ = makePanel("frmBank", "Bank", sw);
    placeTwips(frmBank_, 2985, kSubTop, 1215, kSubHeight);
    optBank_[0] = makeOption("optBank", 0, "Bank 0", frmBank_);
    optBank_[1] = makeOption("optBank", 1, "Bank 1", frmBank_);
    placeTwips(optBank_[0], 90, 75, 1095, kOptionHeight);
    placeTwips(optBank_[1], 90, 330, 1095, kOptionHeight);
    optBank_[0]->setChecked(true);
}

void KxPage::buildOptionPanel(int layoutIndex) {
    const OptionPanelLayout& l = optionPanelLayouts()[static_cast<std::size_t>(layoutIndex)];
    OptionPanel& p = option(l.setting);
    p.setting = l.setting;
    const QString name = l.name;
    p.frame = makePanel(l.frame, name, tab_);
    placeOnTab(p.frame, kPanelLeft, l.top, l.width, kPanelHeight);
    p.cmd[0] = makeButton(l.cmd, 0, "Set " + name, p.frame);
    placeTwips(p.cmd[0], 120, 120, kButtonWidth, kButtonHeight);

    const int top = centred(kPanelHeight, kOptionHeight);
    for (const OptionLayout& o : l.options) {
        QRadioButton* button = makeOption(l.opt, o.index, o.caption, p.frame);
        placeTwips(button, o.left, top, o.width, kOptionHeight);
        p.opt[o.index] = button;
    }
    p.opt.begin()->second->setChecked(true);

    // cmdMS(1) stands on the page so that it can show while frmMS is hidden.
    const bool onPage = l.setting == KxOptionSetting::MSMode;
    p.cmd[1] = makeButton(l.cmd, 1, "Get " + name, onPage ? tab_ : p.frame);
    if (onPage)
        placeOnTab(p.cmd[1], 5520, 4800, kButtonWidth, kButtonHeight);
    else
        placeTwips(p.cmd[1], kGetLeft, 120, kButtonWidth, kButtonHeight);
}

}  // namespace korvel::ui
