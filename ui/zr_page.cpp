#include "ui/zr_page.h"

#include <QComboBox>

#include "ui/twips.h"

namespace korvel::ui {

ZrPage::ZrPage(BusContext& bus, QWidget* tab) : QObject(tab), bus_(bus) {
    cboZR_ = new QComboBox(tab);
    cboZR_->setObjectName("cboZR");
    placeTwips(cboZR_, 960, 600, 1095, 315);
}

void ZrPage::refreshList() {
    cboZR_->clear();
    for (const ListEntry& e : bus_.registry.zrList.entries)
        cboZR_->addItem(QString::fromStdString(e.text), e.itemData);
    cboZR_->setCurrentIndex(bus_.registry.zrList.selected);
}

void ZrPage::ZRSelectionChanged() {}

}  // namespace korvel::ui
