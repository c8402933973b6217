#pragma once

#include <span>
#include <string_view>

#include "ui_model/translatable.h"

class QWidget;

namespace korvel::ui {

// One control's drawn place on its parent, in twips. Each window keeps its
// controls in a table of these rather than in numbers spread over its code.
struct Placement {
    const char* name;     // object name
    const char* caption;  // caption, title or initial text; null where it has none
    int left;
    int top;
    int width;
    int height;
    const char* overlaps = nullptr;  // a sibling it overlaps by design, if any
};

// The row of `name`. A name missing from the table is a programming error and throws.
const Placement& placementOf(std::span<const Placement> table, std::string_view name);

// Names the widget, gives it the row's caption (translated) and puts it at the row's place.
void place(QWidget* widget, const Placement& row);
void place(QWidget* widget, std::span<const Placement> table, std::string_view name);

// A new widget of type W on `parent`, placed by its row in `table`.
template <class W>
W* makePlaced(std::span<const Placement> table, std::string_view name, QWidget* parent) {
    auto* widget = new W(parent);
    place(widget, table, name);
    return widget;
}

// The dynamic property that carries a row's `overlaps` onto its widget, where
// the geometry check finds it.
inline constexpr const char* kOverlapsProperty = "overlaps";

}  // namespace korvel::ui
