#include "ui/placement.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <algorithm>
#include <stdexcept>
#include <string>

#include "ui/twips.h"

namespace korvel::ui {

namespace {

void setCaption(QWidget* widget, const QString& caption) {
    if (auto* label = qobject_cast<QLabel*>(widget))
        label->setText(caption);
    else if (auto* button = qobject_cast<QAbstractButton*>(widget))
        button->setText(caption);
    else if (auto* box = qobject_cast<QLineEdit*>(widget))
        box->setText(caption);
    else if (auto* frame = qobject_cast<QGroupBox*>(widget))
        frame->setTitle(caption);
}

}  // namespace

const Placement& placementOf(std::span<const Placement> table, std::string_view name) {
    const auto row =
        std::ranges::find(table, name, [](const Placement& p) { return std::string_view(p.name); });
    if (row == table.end()) throw std::logic_error("no placement for " + std::string(name));
    return *row;
}

void place(QWidget* widget, const Placement& row) {
    widget->setObjectName(row.name);
    if (row.caption) setCaption(widget, QCoreApplication::translate(kTextContext, row.caption));
    if (row.overlaps) widget->setProperty(kOverlapsProperty, row.overlaps);
    placeTwips(widget, row.left, row.top, row.width, row.height);
}

void place(QWidget* widget, std::span<const Placement> table, std::string_view name) {
    place(widget, placementOf(table, name));
}

}  // namespace korvel::ui
