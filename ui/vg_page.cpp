#include "ui/vg_page.h"

#include <QLabel>

#include "ui/twips.h"

namespace korvel::ui {

VgPage::VgPage(BusContext& bus, QWidget* tab) : QObject(tab), bus_(bus) {
    lblVGtype_ = new QLabel("Unknown", tab);
    lblVGtype_->setObjectName("lblVGtype");
    lblVGtype_->hide();
    placeTwips(lblVGtype_, 240, 600, 1095, 255);
}

void VgPage::SetVGUPanelVisibility(bool, bool, bool) {}

void VgPage::setUnitType(const QString& caption) {
    lblVGtype_->setText(caption);
    lblVGtype_->show();
}

}  // namespace korvel::ui
