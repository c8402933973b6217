#pragma once

#include <QObject>

#include "ui/bus_context.h"

class QLabel;

namespace korvel::ui {

// The "VG-U / WOBE" tab.
class VgPage final : public QObject {
    Q_OBJECT
  public:
    VgPage(BusContext& bus, QWidget* tab);

    void SetVGUPanelVisibility(bool a, bool b, bool c);
    // Shows the unit type reported by the status request in `lblVGtype`.
    void setUnitType(const QString& caption);

  private:
    BusContext& bus_;
    QLabel* lblVGtype_;
};

}  // namespace korvel::ui
