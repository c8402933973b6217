#include "ui/status_widgets.h"

#include <QLabel>
#include <QLineEdit>

#include "ui/twips.h"

namespace korvel::ui {

namespace {

// The system block of both dialogs; the classic one calls its first label
// lblStatus and adds the capacity row.
constexpr Placement kSystemPlacements[] = {
    {"lblStatus", KORVEL_TEXT("Korvel", "System Status"), 240, 240, 1275, 255},
    {"lblSystem", KORVEL_TEXT("Korvel", "System Status"), 240, 240, 1275, 255},
    {"txtSystem", KORVEL_TEXT("Korvel", "Unknown"), 1560, 240, 1455, 285},
    {"lblProtVer", KORVEL_TEXT("Korvel", "Protocol Version"), 240, 600, 1275, 255},
    {"txtProtVer", KORVEL_TEXT("Korvel", "Unknown"), 1560, 600, 1455, 285},
    {"lblSysVer", KORVEL_TEXT("Korvel", "System Version"), 240, 960, 1275, 255},
    {"txtSysVer", KORVEL_TEXT("Korvel", "Unknown"), 1560, 960, 1455, 285},
    {"lblLicense", KORVEL_TEXT("Korvel", "License code"), 240, 1320, 1275, 255},
    {"txtLicense", KORVEL_TEXT("Korvel", "Unknown"), 1560, 1320, 1455, 285},
    {"lblCap", KORVEL_TEXT("Korvel", "Remaining Cap"), 240, 1680, 1275, 255},
    {"txtCap", KORVEL_TEXT("Korvel", "Unknown"), 1560, 1680, 1455, 285},
};

void placeRowsDown(QWidget* widget, const Placement& at, int rowsDown) {
    if (at.overlaps) widget->setProperty(kOverlapsProperty, at.overlaps);
    placeTwips(widget, at.left, at.top + kRowPitch * rowsDown, at.width, at.height);
}

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& caption, const Placement& at,
                  int rowsDown, bool centred) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->setAlignment((centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter);
    placeRowsDown(label, at, rowsDown);
    return label;
}

QLineEdit* makeBox(QWidget* parent, const QString& name, const Placement& at, int rowsDown,
                   const QString& accessibleName) {
    auto* box = new QLineEdit(at.caption, parent);
    box->setObjectName(name);
    box->setReadOnly(true);
    box->setAccessibleName(accessibleName);
    box->setTextMargins(0, 0, 0, 0);
    placeRowsDown(box, at, rowsDown);
    return box;
}

const Placement& topOf(std::span<const Placement> table, const QString& array, int first) {
    return placementOf(table, arrayName(array, first).toStdString());
}

}  // namespace

QLabel* statusLabel(QWidget* parent, const Placement& row, bool centred) {
    return makeLabel(parent, row.name, row.caption, row, 0, centred);
}

QLineEdit* statusBox(QWidget* parent, const Placement& row, const QString& accessibleName) {
    return makeBox(parent, row.name, row, 0, accessibleName);
}

QLabel* columnLabel(QWidget* parent, std::span<const Placement> table, const QString& array, int i,
                    const QString& caption) {
    return makeLabel(parent, arrayName(array, i), caption, topOf(table, array, 0), i, false);
}

QLineEdit* columnBox(QWidget* parent, std::span<const Placement> table, const QString& array,
                     int first, int i, const QString& accessibleName) {
    return makeBox(parent, arrayName(array, first + i), topOf(table, array, first), i,
                   accessibleName);
}

QLineEdit* systemRow(QWidget* dialog, const char* label, const char* box) {
    const Placement& labelRow = placementOf(kSystemPlacements, label);
    statusLabel(dialog, labelRow);
    return statusBox(dialog, placementOf(kSystemPlacements, box), labelRow.caption);
}

QString arrayName(const QString& name, int index) {
    return QString("%1_%2").arg(name).arg(index);
}

}  // namespace korvel::ui
