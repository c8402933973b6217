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

constexpr int kxRowTop(int n) {
    return 600 + 360 * n;
}
constexpr int zrRowTop(int n) {
    return 3480 + 360 * n;
}

// Where a family's block stands: its heading row (Module, Status, Version)
// and the columns of its module rows (label, status box, version box).
struct ModuleBlock {
    const char* family;  // the family part of its controls' names: "ZR", "QH"
    int headingTop;
    std::array<int, 3> headingLefts;
    bool centredHeadings;
    int firstRowTop;
    std::array<int, 3> rowLefts;
};
constexpr ModuleBlock kZrBlock{"ZR", 3120, {240, 960, 1920}, true, zrRowTop(0), {240, 960, 1920}};
constexpr ModuleBlock kQhBlock{"QH",  240,         {9240, 10080, 11040},
                               false, kxRowTop(0), {9240, 9960, 10920}};

template <std::size_t N>
void buildModuleBlock(QWidget* dialog, const ModuleBlock& b, std::array<QLineEdit*, N>& status,
                      std::array<QLineEdit*, N>& version) {
    const QString f = b.family;
    statusLabel(dialog, "lbl" + f + "module", "Module", b.headingLefts[0], b.headingTop,
                kRowLabelWidth);
    statusLabel(dialog, "lbl" + f + "status", "Status", b.headingLefts[1], b.headingTop, kBoxWidth,
                b.centredHeadings);
    statusLabel(dialog, "lbl" + f + "version", "Version", b.headingLefts[2], b.headingTop,
                kBoxWidth, b.centredHeadings);
    for (std::size_t i = 0; i < N; ++i) {
        const int n = static_cast<int>(i);
        const QString module = QString("%1#%2").arg(f).arg(n);
        const int top = b.firstRowTop + 360 * n;
        statusLabel(dialog, arrayName("lbl" + f, n), module, b.rowLefts[0], top, kRowLabelWidth);
        status[i] = statusBox(dialog, arrayName("txt" + f + "status", n), "Unknown", b.rowLefts[1],
                              top, kBoxWidth, module + " Status");
        version[i] = statusBox(dialog, arrayName("txt" + f + "ver", n), "Unknown", b.rowLefts[2],
                               top, kBoxWidth, module + " Version");
    }
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
    txtSystem = systemRow(this, "lblSystem", "System Status", "txtSystem", 240);
    txtProtVer = systemRow(this, "lblProtVer", "Protocol Version", "txtProtVer", 600);
    txtSysVer = systemRow(this, "lblSysVer", "System Version", "txtSysVer", 960);
    txtLicense = systemRow(this, "lblLicense", "License code", "txtLicense", 1320);
}

void StandardStatusDialog::buildZrBlock() {
    buildModuleBlock(this, kZrBlock, txtZRstatus, txtZRver);
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
    buildModuleBlock(this, kQhBlock, txtQHstatus, txtQHver);
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
