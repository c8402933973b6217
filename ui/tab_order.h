#pragma once

#include <vector>

class QWidget;

namespace korvel::ui {

// Sorts sibling widgets row by row (middles within a third of a line), left to right.
void sortByRows(std::vector<QWidget*>& widgets);

// Chains the keyboard focus through the controls inside `area` row by row, left
// to right, a frame at a time, whatever order they were made in. Returns the last
// control chained, so areas can be chained one after another.
QWidget* orderTabsByRows(QWidget* area, QWidget* after = nullptr);

}  // namespace korvel::ui
