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

QString arrayName(const char* name, int index) {
    return QString("%1_%2").arg(name).arg(index);
}

}  // namespace korvel::ui
