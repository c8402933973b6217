#include "ui/classic_status_dialog.h"

#include <QLabel>
#include <QLineEdit>

#include "ui/status_widgets.h"
#include "ui/twips.h"

namespace korvel::ui {

namespace {

// The module columns list their top element; the others follow a row pitch
// apart. Each DIP number stands on its box, its bottom line on the box's top
// one. The KX status column stands left of the type column in this view.
constexpr Placement kClassicPlacements[] = {
    {"lblDIPstat", KORVEL_TEXT("Korvel", "DIP status  "), 240, 2280, 915, 255},
    {"lblDIP_0", KORVEL_TEXT("Korvel", "1"), 1320, 2040, 255, 255, "txtDIP_0"},
    {"txtDIP_0", nullptr, 1200, 2280, 375, 285},
    {"lblDIP_1", KORVEL_TEXT("Korvel", "2"), 1800, 2040, 255, 255, "txtDIP_1"},
    {"txtDIP_1", nullptr, 1680, 2280, 375, 285},
    {"lblDIP_2", KORVEL_TEXT("Korvel", "3"), 2280, 2040, 255, 255, "txtDIP_2"},
    {"txtDIP_2", nullptr, 2160, 2280, 375, 285},
    {"lblDIP_3", KORVEL_TEXT("Korvel", "4"), 2760, 2040, 255, 255, "txtDIP_3"},
    {"txtDIP_3", nullptr, 2640, 2280, 375, 285},
    {"lblZRmodule", KORVEL_TEXT("Korvel", "Module"), 240, 3120, 675, 255},
    {"lblZRstatus", KORVEL_TEXT("Korvel", "Status"), 960, 3120, 855, 255},
    {"lblZR_0", nullptr, 240, 3480, 675, 255},
    {"txtZRstatus_0", KORVEL_TEXT("Korvel", "Unknown"), 960, 3480, 855, 285},
    {"lblKXmodule", KORVEL_TEXT("Korvel", "Module"), 3360, 240, 675, 255},
    {"lblKXstatus", KORVEL_TEXT("Korvel", "Status"), 4080, 240, 855, 255},
    {"lblKXtype", KORVEL_TEXT("Korvel", "Type"), 5160, 240, 855, 255},
    {"lblKX_0", nullptr, 3360, 600, 675, 255},
    {"txtKXstatus_0", KORVEL_TEXT("Korvel", "Unknown"), 4080, 600, 855, 285},
    {"txtKXtype_0", KORVEL_TEXT("Korvel", "Unknown"), 5160, 600, 855, 285},
};

const Placement& at(const char* name) {
    return placementOf(kClassicPlacements, name);
}

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
    txtSystem = systemRow(this, "lblStatus", "txtSystem");
    txtProtVer = systemRow(this, "lblProtVer", "txtProtVer");
    txtSysVer = systemRow(this, "lblSysVer", "txtSysVer");
    txtLicense = systemRow(this, "lblLicense", "txtLicense");
    txtCap = systemRow(this, "lblCap", "txtCap");
}

void ClassicStatusDialog::buildDipRow() {
    statusLabel(this, at("lblDIPstat"));
    for (int i = 0; i < 4; ++i) {
        statusLabel(this, placementOf(kClassicPlacements, arrayName("lblDIP", i).toStdString()));
        txtDIP[static_cast<std::size_t>(i)] =
            statusBox(this, placementOf(kClassicPlacements, arrayName("txtDIP", i).toStdString()),
                      QString("DIP %1").arg(i + 1));
    }
}

void ClassicStatusDialog::buildZrBlock() {
    statusLabel(this, at("lblZRmodule"));
    statusLabel(this, at("lblZRstatus"), true);
    for (int n = 0; n < 8; ++n) {
        const QString module = QString("ZR#%1").arg(n);
        columnLabel(this, kClassicPlacements, "lblZR", n, module);
        txtZRstatus[static_cast<std::size_t>(n)] =
            columnBox(this, kClassicPlacements, "txtZRstatus", 0, n, module + " Status");
    }
}

void ClassicStatusDialog::buildKxBlock() {
    statusLabel(this, at("lblKXmodule"));
    statusLabel(this, at("lblKXstatus"), true);
    statusLabel(this, at("lblKXtype"), true);
    for (int n = 0; n < 16; ++n) {
        const QString module = QString("KX#%1").arg(n);
        const auto i = static_cast<std::size_t>(n);
        columnLabel(this, kClassicPlacements, "lblKX", n, module);
        txtKXstatus[i] =
            columnBox(this, kClassicPlacements, "txtKXstatus", 0, n, module + " Status");
        txtKXtype[i] = columnBox(this, kClassicPlacements, "txtKXtype", 0, n, module + " Type");
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
