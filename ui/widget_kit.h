#pragma once

#include <QApplication>
#include <QLabel>
#include <QPushButton>

namespace korvel::ui {

// While the bus is busy the window takes no input anyway; the cursor says so.
class BusyCursor {
  public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// While a message box waits for the user the busy cursor would lie; it comes
// back when the box closes and the sequence goes on.
class ArrowWhileWaiting {
  public:
    ArrowWhileWaiting() : pushed_(QApplication::overrideCursor() != nullptr) {
        if (pushed_) QApplication::setOverrideCursor(Qt::ArrowCursor);
    }
    ~ArrowWhileWaiting() {
        if (pushed_) QApplication::restoreOverrideCursor();
    }
    ArrowWhileWaiting(const ArrowWhileWaiting&) = delete;
    ArrowWhileWaiting& operator=(const ArrowWhileWaiting&) = delete;

  private:
    bool pushed_;
};

inline QPushButton* makeButton(const QString& caption, const char* name, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    return button;
}

inline QLabel* makeLabel(const QString& caption, const char* name, QWidget* parent) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    return label;
}

}  // namespace korvel::ui
