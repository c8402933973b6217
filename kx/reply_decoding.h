#pragma once

#include <optional>

#include "kx/settings.h"
#include "link/frame.h"

namespace korvel {

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

// True when `value` is one the row accepts: one of its option values, or a
// number in its range.
bool pageCanShow(const KxSettingRow& row, int value);

}  // namespace korvel
