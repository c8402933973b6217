#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "kx/reply_decoding.h"
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

// Takes a module's settings report into the page: nothing unless it comes from
// the selected single module and matches the setting the page addresses now.
// The page writes a number out of range into its box as it came; an option
// value it has no button for it cannot show at all.
std::optional<KxFieldUpdate> DecodeKXReply(const ReplyBuffer& reply, const KxPageInputs& page);

}  // namespace korvel
