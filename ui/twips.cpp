#include "ui/twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cmath>

namespace korvel::ui {

int twips(int value) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInch() : 96.0;
    return static_cast<int>(std::lround(value * dpi / 1440.0));
}

void placeTwips(QWidget* widget, int left, int top, int width, int height) {
    widget->setGeometry(twips(left), twips(top), twips(width), twips(height));
}

void fitToCaption(QWidget* widget) {
    const int needed = widget->sizeHint().width();
    if (widget->width() < needed) widget->resize(needed, widget->height());
}

}  // namespace korvel::ui
