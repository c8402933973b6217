#include "ui/classic_status_dialog.h"

#include <QLabel>
#include <QLineEdit>

#include "ui/placement.h"
#include "ui/status_widgets.h"
#include "ui/twips.h"

namespace korvel::ui {

namespace {

constexpr int kBoxWidth = 855;
constexpr int kRowLabelWidth = 675;

}  // namespace

ClassicStatusDialog::ClassicStatusDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("dlgKorvelStatus");
    setWindowTitle("KorvelConfig - Korvel Status");
    setFixedSize(twips(6315), twips(6480));
    buildSystemBlock();
    buildDipRow();
    buildZrBlock();
    buildKxBlock();
}

void ClassicStatusDialog::buildSystemBlock() {
    txtSystem = systemRow(this, "lblStatus", "System Status", "txtSystem", 240);
    txtProtVer = systemRow(this, "lblProtVer", "Protocol Version", "txtProtVer", 600);
    txtSysVer = systemRow(this, "lblSysVer", "System Version", "txtSysVer", 960);
    txtLicense = systemRow(this, "lblLicense", "License code", "txtLicense", 1320);
    txtCap = systemRow(this, "lblCap", "Remaining Cap", "txtCap", 1680);
}

void ClassicStatusDialog::buildDipRow() {
    statusLabel(this, "lblDIPstat", "DIP status  ", 240, 2280, 915);
    // Each number stands on its box, its bottom line on the box's top one.
    for (int i = 0; i < 4; ++i) {
        const QString number = QString::number(i + 1);
        QLabel* label =
            statusLabel(this, arrayName("lblDIP", i), number, 1320 + 480 * i, 2040, 255);
        txtDIP[static_cast<std::size_t>(i)] =
            statusBox(this, arrayName("txtDIP", i), "", 1200 + 480 * i, 2280, 375, "DIP " + number);
        label->setProperty(kOverlapsProperty, txtDIP[static_cast<std::size_t>(i)]->objectName());
    }
}

void ClassicStatusDialog::buildZrBlock() {
    statusLabel(this, "lblZRmodule", "Module", 240, 3120, kRowLabelWidth);
    statusLabel(this, "lblZRstatus", "Status", 960, 3120, kBoxWidth, true);
    for (int n = 0; n < 8; ++n) {
        const QString module = QString("ZR#%1").arg(n);
        const int top = 3480 + 360 * n;
        statusLabel(this, arrayName("lblZR", n), module, 240, top, kRowLabelWidth);
        txtZRstatus[static_cast<std::size_t>(n)] = statusBox(
            this, arrayName("txtZRstatus", n), "Unknown", 960, top, kBoxWidth, module + " Status");
    }
}

// The status column stands left of the type column in this view.
void ClassicStatusDialog::buildKxBlock() {
    statusLabel(this, "lblKXmodule", "Module", 3360, 240, kRowLabelWidth);
    statusLabel(this, "lblKXstatus", "Status", 4080, 240, kBoxWidth, true);
    statusLabel(this, "lblKXtype", "Type", 5160, 240, kBoxWidth, true);
    for (int n = 0; n < 16; ++n) {
        const QString module = QString("KX#%1").arg(n);
        const auto i = static_cast<std::size_t>(n);
        const int top = 600 + 360 * n;
        statusLabel(this, arrayName("lblKX", n), module, 3360, top, kRowLabelWidth);
        txtKXstatus[i] = statusBox(this, arrayName("txtKXstatus", n), "Unknown", 4080, top,
                                   kBoxWidth, module + " Status");
        txtKXtype[i] = statusBox(this, arrayName("txtKXtype", n), "Unknown", 5160, top, kBoxWidth,
                                 module + " Type");
    }
}

void ClassicStatusDialog::fill(const ClassicStatusTexts& t) {
    txtSystem->setText(QString::fromStdString(t.system.system));
    txtProtVer->setText(QString::fromStdString(t.system.protVer));
    txtSysVer->setText(QString::fromStdString(t.system.sysVer));
    txtLicense->setText(QString::fromStdString(t.system.license));
    txtCap->setText(QString::fromStdString(t.cap));
    setBoxTexts(txtDIP, t.dip);
    setBoxTexts(txtKXstatus, t.kxStatus);
    setBoxTexts(txtKXtype, t.kxType);
    setBoxTexts(txtZRstatus, t.zrStatus);
}

}  // namespace korvel::ui
