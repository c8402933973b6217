#pragma once

#include <QObject>

class QWidget;

namespace korvel::ui {

// Owns the two status windows, made on first use and made anew after the user closed one.
class StatusDialogs final : public QObject {
    Q_OBJECT
  public:
    explicit StatusDialogs(QWidget* owner);

    // Closes both windows (standard first, then classic) at shut-down.
    void closeAll();

  private:
    QWidget* owner_;
};

}  // namespace korvel::ui
