#pragma once

#include <QIcon>

class QApplication;

namespace korvel::ui {

// Name, font and icon shared by every window of the program.
void applyApplicationStyle(QApplication& app);
QIcon programIcon();

}  // namespace korvel::ui
