#pragma once

#include <QObject>
#include <array>
#include <optional>

#include "ui/bus_context.h"
#include "ui_model/zr_routines.h"
#include "ui_model/zr_selection.h"
#include "zr/zr_commands.h"
#include "zr/zr_report.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace korvel::ui {

// The "ZR32" tab: the configuration report of one module and its setting commands.
class ZrPage final : public QObject, private ZrReportInputs {
    Q_OBJECT
  public:
    ZrPage(BusContext& bus, QWidget* tab);

    // Mirrors the registry's ZR list into `cboZR` and adapts the page to the selection.
    void refreshList();
    // What a run that rebuilds the list leaves as it was: the module picked and its report.
    struct Kept {
        std::optional<std::int32_t> module;
        bool reportShown = false;
    };
    Kept kept() const;
    // Picks the kept module again if the list still holds it, with its report.
    void restore(const Kept& kept);
    void ZRSelectionChanged();

  private:
    void buildSelection(QWidget* tab);
    void buildSettings(QWidget* tab);
    void buildReport(QWidget* tab);
    void showReportControls(const ZrReportVisibility& visibility);

    void cboZR_Click(int index);
    void cmdGetZRConfig_Click();
    void cmdHideZRConfig_Click();
    void cmdTIME_Click();
    void cmdDeviceTime_Click();
    void cmdDevicePower_Click();
    void cmdZRerase_Click();

    ZrSettingBoxes settingBoxes() const;
    void send(const ZrBoxSetting& setting);
    void appendReport(std::string_view piece);

    std::optional<std::int32_t> selectedModule() override;
    bool permanent() override;

    BusContext& bus_;
    QLabel* lblZR_ = nullptr;
    QComboBox* cboZR_ = nullptr;
    QCheckBox* chkZRperm_ = nullptr;
    QLineEdit* txtZRtime_ = nullptr;
    QLineEdit* txtZRdevice_ = nullptr;
    std::array<QRadioButton*, 4> optZRpower_{};
    QButtonGroup* powerGroup_ = nullptr;
    QPushButton* cmdTIME_ = nullptr;
    QPushButton* cmdDeviceTime_ = nullptr;
    QPushButton* cmdDevicePower_ = nullptr;
    QPushButton* cmdZRerase_ = nullptr;
    QPushButton* cmdGetZRConfig_ = nullptr;
    QPushButton* cmdHideZRConfig_ = nullptr;
    QPlainTextEdit* textZRReport_ = nullptr;
};

}  // namespace korvel::ui
