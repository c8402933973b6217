#pragma once

#include <QObject>
#include <algorithm>
#include <array>
#include <map>

#include "kx/commands.h"
#include "kx/reply_decoding.h"
#include "link/frame.h"
#include "ui/bus_context.h"
#include "ui_model/kx_page_state.h"
#include "ui_model/kx_reply.h"
#include "ui_model/kx_routines.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace korvel::ui {

class UpDown;

// Set (index 0) and Get (index 1) button of one setting.
using ButtonPair = std::array<QPushButton*, 2>;
// Option buttons by their index (optPWMM 2..32, optOCD 0..2, ...).
using OptionArray = std::map<int, QRadioButton*>;

// A setting whose value is typed into a box with a spinner.
struct NumberPanel {
    KxNumberSetting setting;
    QGroupBox* frame = nullptr;
    ButtonPair cmd{};
    QLineEdit* txt = nullptr;
    UpDown* updown = nullptr;
};

// A setting whose value is the selected option button.
struct OptionPanel {
    KxOptionSetting setting;
    QGroupBox* frame = nullptr;
    ButtonPair cmd{};
    OptionArray opt;
};

// How many settings of each kind the table holds.
inline constexpr std::size_t kOptionSettings =
    static_cast<std::size_t>(std::ranges::count_if(kKxSettings, &KxSettingRow::isOption));
inline constexpr std::size_t kNumberSettings = kKxSettings.size() - kOptionSettings;

// The "KXxx / WOBE-s" tab: module selection, the setting panels and their
// commands, and the confirmed values that modules report back.
class KxPage final : public QObject {
    Q_OBJECT
  public:
    KxPage(BusContext& bus, QWidget* tab);

    // Mirrors the registry's KX list into `cboKX` and adapts the page to the selection.
    void refreshList();
    // The module picked, to be picked again by reselect() after a run that rebuilds the list.
    std::optional<std::int32_t> selection() const;
    void reselect(std::optional<std::int32_t> itemData);
    void KXSelectionChanged();
    // A message collected by an empty frame; the KX settings reports among them
    // go into the page.
    void onSettingsReport(const ReplyBuffer& reply);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildTopRow();
    void buildPanels();
    void buildNumberPanel(const KxSettingRow& row, NumberPanel& panel);
    void buildOptionPanel(const KxSettingRow& row, OptionPanel& panel);
    void buildSelectors(KxSettingId field, QGroupBox* frame);
    void buildSwitchDelaySelectors(QGroupBox* sw);
    void watchFocus(const ButtonPair& buttons);

    void numberClicked(NumberPanel& panel, KxButton button);
    void optionClicked(OptionPanel& panel, KxButton button);
    void cmdErase_Click();
    void cboKX_Click(int index);

    KxPageState readPageState() const;
    void applyPageState(const KxPageState& state);
    KxPageInputs readInputs() const;
    KxSelectors readSelectors() const;
    void applyFieldUpdate(const KxFieldUpdate& update);
    void resetNumberColour(const NumberPanel& panel);
    void resetOptionColours(const OptionPanel& panel);

    NumberPanel& number(KxNumberSetting setting);
    OptionPanel& option(KxOptionSetting setting);
    QGroupBox* frameOf(KxSettingId field);
    const ButtonPair& buttonsOf(KxSettingId field);

    BusContext& bus_;
    QWidget* tab_;

    QLabel* lbKX_ = nullptr;
    QComboBox* cboKX_ = nullptr;
    QCheckBox* chkKXperm_ = nullptr;
    QPushButton* cmdErase_ = nullptr;
    QLabel* lblKXtype_ = nullptr;

    // In page order.
    std::array<NumberPanel, kNumberSettings> numbers_;
    std::array<OptionPanel, kOptionSettings> options_;
    std::array<QRadioButton*, 2> optAL_{};
    std::array<QRadioButton*, 2> optSW_{};
    std::array<QRadioButton*, 2> optBank_{};
    std::array<QRadioButton*, 2> OptLC_{};
    QGroupBox* frmOnOff_ = nullptr;
    QGroupBox* frmBank_ = nullptr;
};

}  // namespace korvel::ui
