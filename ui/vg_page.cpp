#include "ui/vg_page.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "ui/status_widgets.h"
#include "ui/twips.h"

namespace korvel::ui {

namespace {

constexpr int kFrameLeft = 240;
constexpr int kFrameWidth = 6735;
constexpr int kFrameHeight = 1335;

QPushButton* frameButton(QGroupBox* frame, const char* name, const char* caption) {
    auto* button = new QPushButton(caption, frame);
    button->setObjectName(name);
    placeTwips(button, 5160, 480, 1335, 375);
    return button;
}

}  // namespace

VgPage::VgPage(BusContext& bus, QWidget* tab) : QObject(tab), bus_(bus) {
    lblVGtype_ = new QLabel("Unknown", tab);
    lblVGtype_->setObjectName("lblVGtype");
    lblVGtype_->hide();
    placeTwips(lblVGtype_, 240, 240, 1095, 255);

    chkVGperm_ = new QCheckBox("Permanent", tab);
    chkVGperm_->setObjectName("chkVGperm");
    chkVGperm_->setAccessibleName("Permanent");
    placeTwips(chkVGperm_, 1560, 240, 1335, 255);

    frmConfig_ =
        buildBitFrame(tab, "frmConfig", 720, chkVGUconfig_, "chkVGUconfig", kVgConfigCaptions);
    cmdConfig_ = frameButton(frmConfig_, "cmdConfig", "VGU-Config");
    connect(cmdConfig_, &QPushButton::clicked, this, &VgPage::cmdConfig_Click);

    frmOPT_ =
        buildBitFrame(tab, "frmOPT", 2280, chkVGUoptions_, "chkVGUoptions", kVgOptionCaptions);
    cmdOptions_ = frameButton(frmOPT_, "cmdOptions", "VGU-Options");
    connect(cmdOptions_, &QPushButton::clicked, this, &VgPage::cmdOptions_Click);

    // Sets the VG part off from the test frame below it.
    auto* line = new QFrame(tab);
    line->setObjectName("lineVG");
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    placeTwips(line, kFrameLeft, 3840, kFrameWidth, 30);

    applyVisibility(initialVgPanelVisibility());
}

// Two rows of four boxes, bit 0 top left, bit 7 bottom right.
QGroupBox* VgPage::buildBitFrame(QWidget* tab, const char* name, int top,
                                 std::array<QCheckBox*, 8>& boxes, const char* boxName,
                                 const std::array<const char*, 8>& captions) {
    auto* frame = new QGroupBox(tab);
    frame->setObjectName(name);
    placeTwips(frame, kFrameLeft, top, kFrameWidth, kFrameHeight);
    for (int bit = 0; bit < 8; ++bit) {
        auto* box = new QCheckBox(captions[static_cast<std::size_t>(bit)], frame);
        box->setObjectName(arrayName(boxName, bit));
        box->setAccessibleName(box->text());
        placeTwips(box, 240 + 1200 * (bit % 4), 300 + 480 * (bit / 4), 1155, 255);
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

void VgPage::SetVGUPanelVisibility(bool a, bool b, bool c) {
    applyVisibility(vgPanelVisibility({a, b, c}));
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
    sendVgConfig(bus_.link, bus_.registry, ticked(chkVGUconfig_), chkVGperm_->isChecked());
}

void VgPage::cmdOptions_Click() {
    sendVgOptions(bus_.link, bus_.registry, ticked(chkVGUoptions_));
}

}  // namespace korvel::ui
