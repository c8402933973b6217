#pragma once

#include <QObject>
#include <array>

#include "ui/bus_context.h"
#include "ui_model/vg_panel.h"
#include "vg/vg_commands.h"

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;

namespace korvel::ui {

// The "VG-U / WOBE" tab: configuration and option bits of the VG unit.
class VgPage final : public QObject {
    Q_OBJECT
  public:
    VgPage(BusContext& bus, QWidget* tab);

    // Shows the frames and boxes the reported unit offers.
    void SetVGUPanelVisibility(VgPanelFlags flags);
    // Shows the unit type reported by the status request in `lblVGtype`.
    void setUnitType(const QString& caption);

    void cmdConfig_Click();
    void cmdOptions_Click();

  private:
    QGroupBox* buildBitFrame(QWidget* tab, const char* name, std::array<QCheckBox*, 8>& boxes,
                             const char* boxName, const char* const (&tips)[8]);
    void applyVisibility(const VgPanelVisibility& visibility);
    // A box counts when it is ticked and offered; one hidden by the last status
    // request may still hold an earlier tick, which must not reach the unit.
    static VgBoxes ticked(const std::array<QCheckBox*, 8>& boxes);

    BusContext& bus_;
    QLabel* lblVGtype_ = nullptr;
    QCheckBox* chkVGperm_ = nullptr;
    QGroupBox* frmConfig_ = nullptr;
    QGroupBox* frmOPT_ = nullptr;
    std::array<QCheckBox*, 8> chkVGUconfig_{};
    std::array<QCheckBox*, 8> chkVGUoptions_{};
    QPushButton* cmdConfig_ = nullptr;
    QPushButton* cmdOptions_ = nullptr;
};

}  // namespace korvel::ui
