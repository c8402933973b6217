#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <variant>

#include "link/link.h"
#include "service/module_registry.h"
#include "status/system_query.h"

namespace korvel {

// Every box of the standard dialog after a request; a module that did not
// answer keeps "-".
struct StandardStatusTexts {
    SystemBoxes system;
    std::array<std::string, 16> kxType;
    std::array<std::string, 32> kxStatus;  // 16..31: second halves of KX44 modules
    std::array<std::string, 32> kxVersion;
    std::array<std::string, 8> zrStatus;
    std::array<std::string, 8> zrVersion;
    std::array<std::string, 16> qhStatus;
    std::array<std::string, 16> qhVersion;

    StandardStatusTexts();
    bool operator==(const StandardStatusTexts&) const = default;
};

// Every box of the classic dialog after a request; unanswered queries leave
// "Unknown" (the DIP boxes stay empty).
struct ClassicStatusTexts {
    SystemBoxes system;
    std::string cap = "Unknown";
    std::array<std::string, 4> dip;
    std::array<std::string, 16> kxStatus;
    std::array<std::string, 16> kxType;
    std::array<std::string, 8> zrStatus;

    ClassicStatusTexts();
    bool operator==(const ClassicStatusTexts&) const = default;
};

// What a status request leaves for the windows: the dialog to show with its
// texts, and what the VG page shows for the reported unit.
struct StatusReport {
    std::variant<StandardStatusTexts, ClassicStatusTexts> dialog;
    std::string vgTypeCaption;
    VgPanelFlags vgFlags;

    bool classic() const { return std::holds_alternative<ClassicStatusTexts>(dialog); }
};

// Takes a complete result into the windows (lists, VG page) before the
// request's closing empty frame, whose answer may be a settings report that
// must meet the new list and selection.
using StatusResultHook = std::function<void(const StatusReport&)>;

// The "Status" button: asks the controller and its modules and rebuilds the
// registry and its lists. nullopt (registry untouched, no dialog) when the port
// is closed, the controller does not answer the first query, or the line
// vanished or the controller fell silent before the last query was answered;
// a line lost only on the closing empty frame keeps the complete result.
std::optional<StatusReport> RequestStatus(Link& link, ModuleRegistry& registry,
                                          bool classicRequested,
                                          const StatusResultHook& onResult = {});

// The two ways the request goes on after the controller's own answers, up to
// the closing empty frame.
StandardStatusTexts queryStandardView(Link& link, ModuleRegistry& registry,
                                      const SystemFacts& facts);
ClassicStatusTexts queryClassicView(Link& link, ModuleRegistry& registry, const SystemFacts& facts);

// "Reset Fault": one command to the controller; its answer is not examined.
void ResetFault(Link& link);

}  // namespace korvel
