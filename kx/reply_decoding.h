#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "kx/settings.h"
#include "link/frame.h"

namespace korvel {

// Green marks a value that a module confirmed (red 0, green 255, blue 0).
inline constexpr std::uint32_t kConfirmedColour = 65280;

// The page's inputs that decide whether a report belongs to what it shows.
struct KxPageInputs {
    std::optional<std::int32_t> selected;  // ItemData of the selected cboKX entry
    bool permanent = false;                // chkKXperm
    KxSelectors selectors;
};

// A confirmed value: the text of a text box, or the option button to select.
struct KxFieldUpdate {
    KxSettingId field;
    std::string text;      // text boxes
    int optionIndex = -1;  // option buttons
    std::uint32_t colour = kConfirmedColour;

    bool isOption() const { return optionIndex >= 0; }
    bool operator==(const KxFieldUpdate&) const = default;
};

// Whether a message the controller held is a KX module's settings report:
// five to seven data bytes, b1 = 0 and a KX address byte (32..63) in b2.
bool isSettingsReport(const ReplyBuffer& reply);

// A settings report as the module sent it.
struct KxReport {
    int module = 0;  // 0..31, 16..31 the second half of a KX44
    KxSettingId field = KxSettingId::Hfi;
    KxSelectors selectors;  // the variant the code names (on-delay, bank 1, loop B)
    bool permanent = false;
    int value = 0;  // as reported, 0..127
    bool operator==(const KxReport&) const = default;
};

// The report's module, setting, Permanent flag and value; nullopt for anything
// that is not a settings report of a KX module (0..31) about a setting of the table.
std::optional<KxReport> decodeKxReport(const ReplyBuffer& reply);

// True when the page can show `value` for the row (an option value it has, a
// number in range). The page still writes a number out of range into its box
// as it came; an option value it has no button for it cannot show at all.
bool pageCanShow(const KxSettingRow& row, int value);

// Takes a module's settings report into the page: nothing unless it comes from
// the selected single module and matches the setting the page addresses now.
std::optional<KxFieldUpdate> DecodeKXReply(const ReplyBuffer& reply, const KxPageInputs& page);

}  // namespace korvel
