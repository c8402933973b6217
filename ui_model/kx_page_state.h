#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "kx/settings.h"
#include "service/module_registry.h"
#include "ui_model/translatable.h"

namespace korvel {

inline constexpr const char* kGetMSModeDesignCaption = KORVEL_TEXT("Korvel", "Get MS-mode");
inline constexpr const char* kGetMSModeCaption = KORVEL_TEXT("Korvel", "Get MS mode");
inline constexpr const char* kCheckMSModeCaption = KORVEL_TEXT("Korvel", "Check MS mode");

// What the KX page shows for the current selection. The window copies it into
// its controls; values typed into the panels are not part of it.
struct KxPageState {
    using FieldFlags = std::array<bool, kKxFieldCount>;
    static constexpr FieldFlags everyField() {
        FieldFlags flags{};
        flags.fill(true);
        return flags;
    }

    // Each setting's panel (frmHFI, frmAL, ...) and the Set button (index 0)
    // inside it, indexed by KxSettingId; frmSW is shown for every selection.
    FieldFlags panels = everyField();
    FieldFlags setButtons = everyField();

    bool getButtons = false;  // the Get buttons (index 1) of every panel except frmMS
    bool cmdMSGet = false;    // cmdMS(1), on the page beside frmMS
    std::string cmdMSGetCaption = kGetMSModeDesignCaption;

    bool bank1Visible = true;    // optBank(1) "Bank 1"
    bool bank1Selected = false;  // optBank(1) rather than optBank(0) is selected

    std::string kxTypeCaption = "Unknown";  // lblKXtype
    bool kxTypeVisible = false;

    bool& panel(KxSettingId f) { return panels[static_cast<std::size_t>(f)]; }
    bool panel(KxSettingId f) const { return panels[static_cast<std::size_t>(f)]; }
    bool& setButton(KxSettingId f) { return setButtons[static_cast<std::size_t>(f)]; }
    bool setButton(KxSettingId f) const { return setButtons[static_cast<std::size_t>(f)]; }

    bool operator==(const KxPageState&) const = default;
};

enum class KxGetButtons : std::int16_t { None = 0, SingleModule = 1, MasterSlaveCheck = 2 };

// Which panels a module kind offers (KxSettingRow::offer): F44 for KX44, FH
// for KX-H, FW for WOBE-s.
void SetKXPanelVisibility(KxPageState& page, bool f44, bool fh, bool fw);
void ShowKXGetButtons(KxPageState& page, KxGetButtons mode);
// Adapts the page to the selected cboKX entry; `itemData` is its ItemData.
void KXSelectionChanged(KxPageState& page, std::int32_t itemData, const KxTypeTable& types);

}  // namespace korvel
