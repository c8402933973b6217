#include "ui/standard_status_dialog.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>

#include "ui/status_widgets.h"
#include "ui/twips.h"

namespace korvel::ui {

namespace {

// The module columns list their top element; the others follow a row pitch
// apart. The KX status and version columns hold the primary halves from
// element 0 and the second halves from element 16.
constexpr Placement kStandardPlacements[] = {
    {"lblZRmodule", KORVEL_TEXT("Korvel", "Module"), 240, 3120, 675, 255},
    {"lblZRstatus", KORVEL_TEXT("Korvel", "Status"), 960, 3120, 855, 255},
    {"lblZRversion", KORVEL_TEXT("Korvel", "Version"), 1920, 3120, 855, 255},
    {"lblZR_0", nullptr, 240, 3480, 675, 255},
    {"txtZRstatus_0", KORVEL_TEXT("Korvel", "Unknown"), 960, 3480, 855, 285},
    {"txtZRver_0", KORVEL_TEXT("Korvel", "Unknown"), 1920, 3480, 855, 285},
    {"lblKXmodule", KORVEL_TEXT("Korvel", "Module"), 3360, 240, 675, 255},
    {"lblKXtype", KORVEL_TEXT("Korvel", "Type"), 4080, 240, 855, 255},
    {"lblKXstatus", KORVEL_TEXT("Korvel", "Status - primary - Version"), 5115, 240, 1935, 255},
    {"lblKXstatus2", KORVEL_TEXT("Korvel", "Status - second - Version"), 7100, 240, 1935, 255},
    {"lblKX_0", nullptr, 3360, 600, 675, 255},
    {"txtKXtype_0", KORVEL_TEXT("Korvel", "Unknown"), 4080, 600, 855, 285},
    {"txtKXstatus_0", KORVEL_TEXT("Korvel", "Unknown"), 5160, 600, 855, 285},
    {"txtKXversion_0", KORVEL_TEXT("Korvel", "Unknown"), 6120, 600, 855, 285},
    {"txtKXstatus_16", KORVEL_TEXT("Korvel", "Unknown"), 7200, 600, 855, 285},
    {"txtKXversion_16", KORVEL_TEXT("Korvel", "Unknown"), 8160, 600, 855, 285},
    {"lblQHmodule", KORVEL_TEXT("Korvel", "Module"), 9240, 240, 675, 255},
    {"lblQHstatus", KORVEL_TEXT("Korvel", "Status"), 10080, 240, 855, 255},
    {"lblQHversion", KORVEL_TEXT("Korvel", "Version"), 11040, 240, 855, 255},
    {"lblQH_0", nullptr, 9240, 600, 675, 255},
    {"txtQHstatus_0", KORVEL_TEXT("Korvel", "Unknown"), 9960, 600, 855, 285},
    {"txtQHver_0", KORVEL_TEXT("Korvel", "Unknown"), 10920, 600, 855, 285},
    {"Line1", nullptr, 3180, 120, 30, 6240},
    {"Line2", nullptr, 9105, 120, 30, 6240},
};

const Placement& at(const QString& name) {
    return placementOf(kStandardPlacements, name.toStdString());
}

// A family's block: its headings, and per module its label and status and
// version boxes. Only the ZR block centres its headings.
template <std::size_t N>
void buildModuleBlock(QWidget* dialog, const QString& family, bool centred,
                      std::array<QLineEdit*, N>& status, std::array<QLineEdit*, N>& version) {
    statusLabel(dialog, at("lbl" + family + "module"));
    statusLabel(dialog, at("lbl" + family + "status"), centred);
    statusLabel(dialog, at("lbl" + family + "version"), centred);
    for (std::size_t i = 0; i < N; ++i) {
        const int n = static_cast<int>(i);
        const QString module = QString("%1#%2").arg(family).arg(n);
        columnLabel(dialog, kStandardPlacements, "lbl" + family, n, module);
        status[i] = columnBox(dialog, kStandardPlacements, "txt" + family + "status", 0, n,
                              module + " Status");
        version[i] = columnBox(dialog, kStandardPlacements, "txt" + family + "ver", 0, n,
                               module + " Version");
    }
}

QFrame* separator(QWidget* parent, const char* name) {
    auto* line = new QFrame(parent);
    place(line, kStandardPlacements, name);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
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
    separator(this, "Line1");
    separator(this, "Line2");
}

void StandardStatusDialog::buildSystemBlock() {
    txtSystem = systemRow(this, "lblSystem", "txtSystem");
    txtProtVer = systemRow(this, "lblProtVer", "txtProtVer");
    txtSysVer = systemRow(this, "lblSysVer", "txtSysVer");
    txtLicense = systemRow(this, "lblLicense", "txtLicense");
}

void StandardStatusDialog::buildZrBlock() {
    buildModuleBlock(this, "ZR", true, txtZRstatus, txtZRver);
}

void StandardStatusDialog::buildKxBlock() {
    statusLabel(this, at("lblKXmodule"));
    statusLabel(this, at("lblKXtype"), true);
    statusLabel(this, at("lblKXstatus"), true);
    statusLabel(this, at("lblKXstatus2"), true);
    for (int n = 0; n < 16; ++n) {
        const QString module = QString("KX#%1").arg(n);
        const auto i = static_cast<std::size_t>(n);
        const auto box = [&](const char* array, int first, const QString& shows) {
            return columnBox(this, kStandardPlacements, array, first, n, module + shows);
        };
        columnLabel(this, kStandardPlacements, "lblKX", n, module);
        txtKXtype[i] = box("txtKXtype", 0, " Type");
        txtKXstatus[i] = box("txtKXstatus", 0, " primary Status");
        txtKXversion[i] = box("txtKXversion", 0, " primary Version");
        txtKXstatus[i + 16] = box("txtKXstatus", 16, " second Status");
        txtKXversion[i + 16] = box("txtKXversion", 16, " second Version");
    }
}

void StandardStatusDialog::buildQhBlock() {
    buildModuleBlock(this, "QH", false, txtQHstatus, txtQHver);
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
