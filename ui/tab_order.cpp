#include "ui/tab_order.h"

#include <QWidget>
#include <algorithm>
#include <vector>

namespace korvel::ui {

namespace {

// Direct children of `area` that take the focus or hold controls that do.
std::vector<QWidget*> unitsOf(QWidget* area) {
    std::vector<QWidget*> units;
    for (QWidget* w : area->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (w->isWindow()) continue;
        const bool takesFocus = (w->focusPolicy() & Qt::TabFocus) && !w->focusProxy();
        if (takesFocus || !w->findChildren<QWidget*>().isEmpty()) units.push_back(w);
    }
    return units;
}

}  // namespace

void sortByRows(std::vector<QWidget*>& widgets) {
    auto middle = [](QWidget* w) { return w->geometry().center().y(); };
    // Widgets whose middles lie within a third of a text line stand in one row.
    std::stable_sort(widgets.begin(), widgets.end(), [&](QWidget* a, QWidget* b) {
        const int tolerance = std::max(4, a->fontMetrics().height() / 3);
        if (std::abs(middle(a) - middle(b)) > tolerance) return middle(a) < middle(b);
        return a->x() < b->x();
    });
}

QWidget* orderTabsByRows(QWidget* area, QWidget* after) {
    std::vector<QWidget*> units = unitsOf(area);
    sortByRows(units);
    QWidget* previous = after;
    for (QWidget* unit : units) {
        if ((unit->focusPolicy() & Qt::TabFocus) && !unit->focusProxy()) {
            if (previous) QWidget::setTabOrder(previous, unit);
            previous = unit;
        } else {
            // A frame or panel is walked whole, its own rows in turn.
            previous = orderTabsByRows(unit, previous);
        }
    }
    return previous;
}

}  // namespace korvel::ui
