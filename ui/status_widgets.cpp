#include "ui/status_widgets.h"

#include <QLabel>
#include <QLineEdit>

#include "ui/twips.h"

namespace korvel::ui {

QLabel* statusLabel(QWidget* parent, const QString& name, const QString& caption, int left, int top,
                    int width, bool centred) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->setAlignment((centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter);
    placeTwips(label, left, top, width, kStatusLabelHeight);
    return label;
}

QLineEdit* statusBox(QWidget* parent, const QString& name, const QString& text, int left, int top,
                     int width, const QString& accessibleName) {
    auto* box = new QLineEdit(text, parent);
    box->setObjectName(name);
    box->setReadOnly(true);
    box->setAccessibleName(accessibleName);
    box->setTextMargins(0, 0, 0, 0);
    placeTwips(box, left, top, width, kStatusBoxHeight);
    return box;
}

QLineEdit* systemRow(QWidget* dialog, const char* label, const char* caption, const char* box,
                     int top) {
    statusLabel(dialog, label, caption, 240, top, 1275);
    return statusBox(dialog, box, "Unknown", 1560, top, 1455, caption);
}

QString arrayName(const QString& name, int index) {
    return QString("%1_%2").arg(name).arg(index);
}

}  // namespace korvel::ui
