#pragma once

#include <QObject>

#include "ui/bus_context.h"

class QGroupBox;

namespace korvel::ui {

// `Frame_Test` on the VG tab: decoder function patterns for test.
class TestFrame final : public QObject {
    Q_OBJECT
  public:
    TestFrame(BusContext& bus, QWidget* vgTab);

    // Shown for the rest of the run once the user double-clicked "CommPort".
    void reveal();

  private:
    BusContext& bus_;
    QGroupBox* frame_;
};

}  // namespace korvel::ui
