#pragma once

#include <QLineEdit>
#include <QString>
#include <array>
#include <span>
#include <string>

#include "ui/placement.h"

class QLabel;
class QWidget;

namespace korvel::ui {

// The status dialogs' module rows stand this far apart, in twips.
inline constexpr int kRowPitch = 360;

// A heading or row label at its placement row, named and captioned by it.
QLabel* statusLabel(QWidget* parent, const Placement& row, bool centred = false);

// A read-only value box at its placement row, named by it and showing the
// row's caption; `accessibleName` says what it shows.
QLineEdit* statusBox(QWidget* parent, const Placement& row, const QString& accessibleName);

// One element of a column of a control array, one element per module row. The
// table holds the row of the column's top element `first`; element first + i
// stands i module rows lower and is named as element first + i.
QLabel* columnLabel(QWidget* parent, std::span<const Placement> table, const QString& array, int i,
                    const QString& caption);
QLineEdit* columnBox(QWidget* parent, std::span<const Placement> table, const QString& array,
                     int first, int i, const QString& accessibleName);

// A row of the system block both status dialogs show: its label and its value
// box, which is known by the label's caption.
QLineEdit* systemRow(QWidget* dialog, const char* label, const char* box);

// Object name of element `index` of a control array: "txtKXstatus_3".
QString arrayName(const QString& name, int index);

// Writes a column of texts into its column of boxes.
template <std::size_t N>
void setBoxTexts(const std::array<QLineEdit*, N>& boxes, const std::array<std::string, N>& texts) {
    for (std::size_t i = 0; i < N; ++i) boxes[i]->setText(QString::fromStdString(texts[i]));
}

}  // namespace korvel::ui
