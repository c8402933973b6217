#include "ui/vg_page.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "ui/placement.h"
#include "ui/status_widgets.h"

namespace korvel::ui {

namespace {

// Positions in a frame hold for both frames' buttons and boxes; two rows of
// four boxes, bit 0 top left, bit 7 bottom right.
constexpr Placement kVgPagePlacements[] = {
    {"lblVGtype", KORVEL_TEXT("Korvel", "Unknown"), 240, 240, 1095, 255},
    {"chkVGperm", KORVEL_TEXT("Korvel", "Permanent"), 1560, 240, 1335, 255},
    {"frmConfig", nullptr, 240, 720, 6735, 1335},
    {"frmOPT", nullptr, 240, 2280, 6735, 1335},
    {"cmdConfig", KORVEL_TEXT("Korvel", "VGU-Config"), 5160, 480, 1335, 375},
    {"cmdOptions", KORVEL_TEXT("Korvel", "VGU-Options"), 5160, 480, 1335, 375},
    {"lineVG", nullptr, 240, 3840, 6735, 30},
    {"chkVGUconfig_0", kVgConfigCaptions[0], 240, 300, 1155, 255},
    {"chkVGUconfig_1", kVgConfigCaptions[1], 1440, 300, 1155, 255},
    {"chkVGUconfig_2", kVgConfigCaptions[2], 2640, 300, 1155, 255},
    {"chkVGUconfig_3", kVgConfigCaptions[3], 3840, 300, 1155, 255},
    {"chkVGUconfig_4", kVgConfigCaptions[4], 240, 780, 1155, 255},
    {"chkVGUconfig_5", kVgConfigCaptions[5], 1440, 780, 1155, 255},
    {"chkVGUconfig_6", kVgConfigCaptions[6], 2640, 780, 1155, 255},
    {"chkVGUconfig_7", kVgConfigCaptions[7], 3840, 780, 1155, 255},
    {"chkVGUoptions_0", kVgOptionCaptions[0], 240, 300, 1155, 255},
    {"chkVGUoptions_1", kVgOptionCaptions[1], 1440, 300, 1155, 255},
    {"chkVGUoptions_2", kVgOptionCaptions[2], 2640, 300, 1155, 255},
    {"chkVGUoptions_3", kVgOptionCaptions[3], 3840, 300, 1155, 255},
    {"chkVGUoptions_4", kVgOptionCaptions[4], 240, 780, 1155, 255},
    {"chkVGUoptions_5", kVgOptionCaptions[5], 1440, 780, 1155, 255},
    {"chkVGUoptions_6", kVgOptionCaptions[6], 2640, 780, 1155, 255},
    {"chkVGUoptions_7", kVgOptionCaptions[7], 3840, 780, 1155, 255},
};

// What each visible box does, in a phrase; the captions are the unit's own
// abbreviations. The boxes that are never shown ("NU", not used) have none.
constexpr const char* kConfigTips[8] = {
    QT_TRANSLATE_NOOP("korvel::ui::VgPage", "Configuration bit 0: serial line S1 at 38400 baud"),
    QT_TRANSLATE_NOOP("korvel::ui::VgPage", "Configuration bit 1: serial line S0 at 38400 baud"),
    QT_TRANSLATE_NOOP("korvel::ui::VgPage", "Configuration bit 2: serial line S0 switched off"),
    QT_TRANSLATE_NOOP("korvel::ui::VgPage", "Configuration bit 3: serial line S0 to a VG-H unit"),
    QT_TRANSLATE_NOOP("korvel::ui::VgPage", "Configuration bit 4: retries on the YN32 line"),
    QT_TRANSLATE_NOOP("korvel::ui::VgPage", "Configuration bit 5: ZR32 modules with 64 devices"),
    QT_TRANSLATE_NOOP("korvel::ui::VgPage", "Configuration bit 6: the DCC fix"),
    nullptr,
};
constexpr const char* kOptionTips[8] = {
    nullptr,
    QT_TRANSLATE_NOOP("korvel::ui::VgPage", "Option bit 1 (value 2): return reports"),
    nullptr,
    nullptr,
    QT_TRANSLATE_NOOP("korvel::ui::VgPage", "Option bit 4 (value 16): transparent mode"),
    QT_TRANSLATE_NOOP("korvel::ui::VgPage", "Option bit 5 (value 32): boot mode for KX modules"),
    QT_TRANSLATE_NOOP("korvel::ui::VgPage", "Option bit 6 (value 64): debug mode"),
    nullptr,
};

template <class W>
W* make(std::string_view name, QWidget* parent) {
    return makePlaced<W>(kVgPagePlacements, name, parent);
}

}  // namespace

VgPage::VgPage(BusContext& bus, QWidget* tab) : QObject(tab), bus_(bus) {
    lblVGtype_ = make<QLabel>("lblVGtype", tab);
    lblVGtype_->hide();

    chkVGperm_ = make<QCheckBox>("chkVGperm", tab);
    chkVGperm_->setAccessibleName("Permanent");

    frmConfig_ = buildBitFrame(tab, "frmConfig", chkVGUconfig_, "chkVGUconfig", kConfigTips);
    cmdConfig_ = make<QPushButton>("cmdConfig", frmConfig_);
    connect(cmdConfig_, &QPushButton::clicked, this, &VgPage::cmdConfig_Click);

    frmOPT_ = buildBitFrame(tab, "frmOPT", chkVGUoptions_, "chkVGUoptions", kOptionTips);
    cmdOptions_ = make<QPushButton>("cmdOptions", frmOPT_);
    connect(cmdOptions_, &QPushButton::clicked, this, &VgPage::cmdOptions_Click);

    // Sets the VG part off from the test frame below it.
    auto* line = make<QFrame>("lineVG", tab);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    applyVisibility(initialVgPanelVisibility());
}

QGroupBox* VgPage::buildBitFrame(QWidget* tab, const char* name, std::array<QCheckBox*, 8>& boxes,
                                 const char* boxName, const char* const (&tips)[8]) {
    auto* frame = make<QGroupBox>(name, tab);
    for (int bit = 0; bit < 8; ++bit) {
        auto* box = make<QCheckBox>(arrayName(boxName, bit).toStdString(), frame);
        box->setAccessibleName(box->text());
        if (const char* tip = tips[bit]) box->setToolTip(tr(tip));
        boxes[static_cast<std::size_t>(bit)] = box;
    }
    return frame;
}

void VgPage::applyVisibility(const VgPanelVisibility& v) {
    frmConfig_->setVisible(v.configFrame);
    frmOPT_->setVisible(v.optionFrame);
    for (std::size_t i = 0; i < 8; ++i) {
        chkVGUconfig_[i]->setVisible(v.configBoxes[i]);
        chkVGUoptions_[i]->setVisible(v.optionBoxes[i]);
    }
}

void VgPage::SetVGUPanelVisibility(VgPanelFlags flags) {
    applyVisibility(vgPanelVisibility(flags));
}

void VgPage::setUnitType(const QString& caption) {
    lblVGtype_->setText(caption);
    lblVGtype_->show();
}

VgBoxes VgPage::ticked(const std::array<QCheckBox*, 8>& boxes) {
    VgBoxes bits{};
    for (std::size_t i = 0; i < 8; ++i) bits[i] = boxes[i]->isChecked() && !boxes[i]->isHidden();
    return bits;
}

void VgPage::cmdConfig_Click() {
    SendVGUConfig(bus_.link, bus_.prompter, ticked(chkVGUconfig_), chkVGperm_->isChecked());
}

void VgPage::cmdOptions_Click() {
    SendVGUOptions(bus_.link, bus_.prompter, ticked(chkVGUoptions_));
}

}  // namespace korvel::ui
