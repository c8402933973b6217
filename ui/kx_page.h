#pragma once

#include <QObject>

#include "link/frame.h"
#include "ui/bus_context.h"

class QComboBox;

namespace korvel::ui {

// The "KXxx / WOBE-s" tab.
class KxPage final : public QObject {
    Q_OBJECT
  public:
    KxPage(BusContext& bus, QWidget* tab);

    // Mirrors the registry's KX list into `cboKX` and adapts the page to the selection.
    void refreshList();
    void KXSelectionChanged();
    // A KX settings report collected by an empty frame.
    void onSettingsReport(const ReplyBuffer& reply);

  private:
    BusContext& bus_;
    QComboBox* cboKX_;
};

}  // namespace korvel::ui
