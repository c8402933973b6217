#include "ui_model/kx_page_state.h"

namespace korvel {

namespace {

struct SelectionKind {
    bool f44, fh, fw;
    KxGetButtons getButtons;
    const char* caption;
};

constexpr SelectionKind kKx44Group{true, false, false, KxGetButtons::None, "KX44"};
constexpr SelectionKind kWobeGroup{false, false, true, KxGetButtons::None, "WOBE-s"};
constexpr SelectionKind kKxHGroup{false, true, false, KxGetButtons::None, "KX-H"};
constexpr SelectionKind kKxxxGroup{true, false, false, KxGetButtons::MasterSlaveCheck, "KXxx"};
constexpr SelectionKind kSingleKxH{false, true, false, KxGetButtons::SingleModule, "KX-H"};
constexpr SelectionKind kSingleWobe{false, false, true, KxGetButtons::None, "WOBE-s"};
constexpr SelectionKind kSingleKx44{true, false, false, KxGetButtons::SingleModule, "KX44"};

// Null for a module of unknown type, and for an index outside the table.
const SelectionKind* kindOf(std::int32_t itemData, const KxTypeTable& types) {
    switch (itemData) {
        case kAllKX44:
            return &kKx44Group;
        case kAllWobe:
            return &kWobeGroup;
        case kAllKXH:
            return &kKxHGroup;
        case kAllKXxx:
            return &kKxxxGroup;
        default:
            break;
    }
    if (itemData < 0 || itemData >= static_cast<std::int32_t>(types.size())) return nullptr;
    switch (types[static_cast<std::size_t>(itemData)]) {
        case kKxH:
            return &kSingleKxH;
        case kKxWobe:
            return &kSingleWobe;
        case kKx44:
            return &kSingleKx44;
        default:
            return nullptr;
    }
}

}  // namespace

void SetKXPanelVisibility(KxPageState& page, bool f44, bool fh, bool fw) {
    for (const KxSettingRow& row : kKxSettings) {
        if (row.offer.everyKind()) continue;
        const bool shown =
            (f44 && row.offer.kx44) || (fh && row.offer.kxH) || (fw && row.offer.wobe);
        page.panel(row.field) = page.setButton(row.field) = shown;
    }
    page.bank1Visible = fh || fw;
    if (!fh && !fw) page.bank1Selected = false;
}

void ShowKXGetButtons(KxPageState& page, KxGetButtons mode) {
    const bool show = mode == KxGetButtons::SingleModule;
    page.getButtons = show;
    if (mode != KxGetButtons::MasterSlaveCheck) {
        page.cmdMSGetCaption = kGetMSModeCaption;
        page.cmdMSGet = show;
    } else {
        page.cmdMSGetCaption = kCheckMSModeCaption;
        page.cmdMSGet = true;
    }
}

void KXSelectionChanged(KxPageState& page, std::int32_t itemData, const KxTypeTable& types) {
    const SelectionKind* kind = kindOf(itemData, types);
    if (kind == nullptr) {
        SetKXPanelVisibility(page, true, true, true);
        ShowKXGetButtons(page, KxGetButtons::None);
        page.kxTypeCaption = "Unknown";
        page.kxTypeVisible = false;
        return;
    }
    SetKXPanelVisibility(page, kind->f44, kind->fh, kind->fw);
    ShowKXGetButtons(page, kind->getButtons);
    // A single KX44's master/slave mode can be read with cmdMS(1) but not set:
    // its Set button stays hidden.
    if (kind == &kSingleKx44)
        for (const KxSettingRow& row : kKxSettings)
            if (row.offer.kx44Reads) page.panel(row.field) = true;
    page.kxTypeCaption = kind->caption;
    page.kxTypeVisible = true;
}

}  // namespace korvel
