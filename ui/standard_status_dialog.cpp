#include "ui/standard_status_dialog.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>

#include "ui/status_widgets.h"
#include "ui/twips.h"

namespace korvel::ui {

namespace {

constexpr int kBoxWidth = 855;
constexpr int kRowLabelWidth = 675;

int kxRowTop(int n) {
    return 600 + 360 * n;
}
int zrRowTop(int n) {
    return 3480 + 360 * n;
}

QFrame* separator(QWidget* parent, const char* name, int left) {
    auto* line = new QFrame(parent);
    line->setObjectName(name);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    placeTwips(line, left, 120, 30, 6240);
    return line;
}

}  // namespace

StandardStatusDialog::StandardStatusDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("dlgKorvelStatus44");
    setWindowTitle("KorvelConfig - Korvel Status");
    setFixedSize(twips(11985), twips(6480));
    buildSystemBlock();
    buildZrBlock();
    buildKxBlock();
    buildQhBlock();
    separator(this, "Line1", 3180);
    separator(this, "Line2", 9105);
}

void StandardStatusDialog::buildSystemBlock() {
    const auto row = [this](const char* label, const char* caption, const char* box, int top) {
        statusLabel(this, label, caption, 240, top, 1275);
        return statusBox(this, box, "Unknown", 1560, top, 1455, caption);
    };
    txtSystem = row("lblSystem", "System Status", "txtSystem", 240);
    txtProtVer = row("lblProtVer", "Protocol Version", "txtProtVer", 600);
    txtSysVer = row("lblSysVer", "System Version", "txtSysVer", 960);
    txtLicense = row("lblLicense", "License code", "txtLicense", 1320);
}

void StandardStatusDialog::buildZrBlock() {
    statusLabel(this, "lblZRmodule", "Module", 240, 3120, kRowLabelWidth);
    statusLabel(this, "lblZRstatus", "Status", 960, 3120, kBoxWidth, true);
    statusLabel(this, "lblZRversion", "Version", 1920, 3120, kBoxWidth, true);
    for (int n = 0; n < 8; ++n) {
        const QString module = QString("ZR#%1").arg(n);
        const auto i = static_cast<std::size_t>(n);
        statusLabel(this, arrayName("lblZR", n), module, 240, zrRowTop(n), kRowLabelWidth);
        txtZRstatus[i] = statusBox(this, arrayName("txtZRstatus", n), "Unknown", 960, zrRowTop(n),
                                   kBoxWidth, module + " Status");
        txtZRver[i] = statusBox(this, arrayName("txtZRver", n), "Unknown", 1920, zrRowTop(n),
                                kBoxWidth, module + " Version");
    }
}

void StandardStatusDialog::buildKxBlock() {
    statusLabel(this, "lblKXmodule", "Module", 3360, 240, kRowLabelWidth);
    statusLabel(this, "lblKXtype", "Type", 4080, 240, kBoxWidth, true);
    statusLabel(this, "lblKXstatus", "Status - primary - Version", 5115, 240, 1935, true);
    statusLabel(this, "lblKXstatus2", "Status - second - Version", 7100, 240, 1935, true);
    for (int n = 0; n < 16; ++n) {
        const QString module = QString("KX#%1").arg(n);
        const auto i = static_cast<std::size_t>(n);
        const int top = kxRowTop(n);
        statusLabel(this, arrayName("lblKX", n), module, 3360, top, kRowLabelWidth);
        txtKXtype[i] = statusBox(this, arrayName("txtKXtype", n), "Unknown", 4080, top, kBoxWidth,
                                 module + " Type");
        txtKXstatus[i] = statusBox(this, arrayName("txtKXstatus", n), "Unknown", 5160, top,
                                   kBoxWidth, module + " primary Status");
        txtKXversion[i] = statusBox(this, arrayName("txtKXversion", n), "Unknown", 6120, top,
                                    kBoxWidth, module + " primary Version");
        txtKXstatus[i + 16] = statusBox(this, arrayName("txtKXstatus", n + 16), "Unknown", 7200,
                                        top, kBoxWidth, module + " second Status");
        txtKXversion[i + 16] = statusBox(this, arrayName("txtKXversion", n + 16), "Unknown", 8160,
                                         top, kBoxWidth, module + " second Version");
    }
}

void StandardStatusDialog::buildQhBlock() {
    statusLabel(this, "lblQHmodule", "Module", 9240, 240, kRowLabelWidth);
    statusLabel(this, "lblQHstatus", "Status", 10080, 240, kBoxWidth);
    statusLabel(this, "lblQHversion", "Version", 11040, 240, kBoxWidth);
    for (int n = 0; n < 16; ++n) {
        const QString module = QString("QH#%1").arg(n);
        const auto i = static_cast<std::size_t>(n);
        statusLabel(this, arrayName("lblQH", n), module, 9240, kxRowTop(n), kRowLabelWidth);
        txtQHstatus[i] = statusBox(this, arrayName("txtQHstatus", n), "Unknown", 9960, kxRowTop(n),
                                   kBoxWidth, module + " Status");
        txtQHver[i] = statusBox(this, arrayName("txtQHver", n), "Unknown", 10920, kxRowTop(n),
                                kBoxWidth, module + " Version");
    }
}

void StandardStatusDialog::fill(const StandardStatusTexts& t) {
    txtSystem->setText(QString::fromStdString(t.system.system));
    txtProtVer->setText(QString::fromStdString(t.system.protVer));
    txtSysVer->setText(QString::fromStdString(t.system.sysVer));
    txtLicense->setText(QString::fromStdString(t.system.license));
    setBoxTexts(txtKXtype, t.kxType);
    setBoxTexts(txtKXstatus, t.kxStatus);
    setBoxTexts(txtKXversion, t.kxVersion);
    setBoxTexts(txtZRstatus, t.zrStatus);
    setBoxTexts(txtZRver, t.zrVersion);
    setBoxTexts(txtQHstatus, t.qhStatus);
    setBoxTexts(txtQHver, t.qhVersion);
}

}  // namespace korvel::ui
