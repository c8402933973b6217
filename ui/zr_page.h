#pragma once

#include <QObject>

#include "ui/bus_context.h"

class QComboBox;

namespace korvel::ui {

// The "ZR32" tab.
class ZrPage final : public QObject {
    Q_OBJECT
  public:
    ZrPage(BusContext& bus, QWidget* tab);

    // Mirrors the registry's ZR list into `cboZR` and adapts the page to the selection.
    void refreshList();
    void ZRSelectionChanged();

  private:
    BusContext& bus_;
    QComboBox* cboZR_;
};

}  // namespace korvel::ui
