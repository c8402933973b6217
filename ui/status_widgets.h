#pragma once

#include <QLineEdit>
#include <QString>
#include <array>
#include <string>

class QLabel;
class QWidget;

namespace korvel::ui {

// Heights of the status dialogs' labels and value boxes, in twips.
inline constexpr int kStatusLabelHeight = 255;
inline constexpr int kStatusBoxHeight = 285;

// A heading or row label placed in twips.
QLabel* statusLabel(QWidget* parent, const QString& name, const QString& caption, int left, int top,
                    int width, bool centred = false);

// A read-only value box placed in twips; `accessibleName` says what it shows.
QLineEdit* statusBox(QWidget* parent, const QString& name, const QString& text, int left, int top,
                     int width, const QString& accessibleName);

// A row of the system block both status dialogs show: its label and its value box.
QLineEdit* systemRow(QWidget* dialog, const char* label, const char* caption, const char* box,
                     int top);

// Object name of element `index` of a control array: "txtKXstatus_3".
QString arrayName(const QString& name, int index);

// Writes a column of texts into its column of boxes.
template <std::size_t N>
void setBoxTexts(const std::array<QLineEdit*, N>& boxes, const std::array<std::string, N>& texts) {
    for (std::size_t i = 0; i < N; ++i) boxes[i]->setText(QString::fromStdString(texts[i]));
}

}  // namespace korvel::ui
