#include "ui/kx_page.h"

#include <QComboBox>

#include "ui/twips.h"

namespace korvel::ui {

KxPage::KxPage(BusContext& bus, QWidget* tab) : QObject(tab), bus_(bus) {
    cboKX_ = new QComboBox(tab);
    cboKX_->setObjectName("cboKX");
    placeTwips(cboKX_, 960, 600, 1095, 315);
}

void KxPage::refreshList() {
    cboKX_->clear();
    for (const ListEntry& e : bus_.registry.kxList.entries)
        cboKX_->addItem(QString::fromStdString(e.text), e.itemData);
    cboKX_->setCurrentIndex(bus_.registry.kxList.selected);
}

void KxPage::KXSelectionChanged() {}

void KxPage::onSettingsReport(const ReplyBuffer&) {}

}  // namespace korvel::ui
