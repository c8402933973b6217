#pragma once

class QWidget;

namespace korvel::ui {

// Layouts are drawn in twips (1/1440 inch); this converts at the screen's logical DPI.
int twips(int value);
void placeTwips(QWidget* widget, int left, int top, int width, int height);

// Widens a widget to its size hint when the drawn width would clip its caption;
// use where the space to its right is free.
void fitToCaption(QWidget* widget);

// Height of the tab strip of `SSTab1`. Positions on a tab page are drawn from
// the top of the tab control, strip included; the page itself starts below it.
inline constexpr int kTabStripTwips = 520;

}  // namespace korvel::ui
