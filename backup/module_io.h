#pragma once

#include <array>
#include <chrono>
#include <optional>
#include <string>

#include "backup/kx_setting_table.h"
#include "link/link.h"
#include "service/module_registry.h"
#include "zr/zr_report.h"

namespace korvel::backup {

// How long a command waits for a module's report after its closing frame,
// fetching with empty frames as the poll timer would.
inline constexpr std::chrono::seconds kModuleReportWait{2};

// One KX module (0..31, 16..31 the second half of a KX44) read or written
// through the page's own command road. nullopt when no report came.
// A read that got no answer is asked again up to `retries` times.
std::optional<int> readKxSetting(Link& link, const ModuleRegistry& registry, int module,
                                 const KxSettingName& row, bool permanent, int retries = 0);
// Writes and returns the value the module's answer to the Set confirms.
// A write is sent once: a missing confirmation is for a read-back to settle.
std::optional<int> writeKxSetting(Link& link, const ModuleRegistry& registry, std::int32_t target,
                                  const KxSettingName& row, int value, bool permanent);

// The values of a ZR32 module's configuration: the zr folder's reading.
using korvel::readZrConfiguration;
// Its report as the page shows it, into `text`; false unless a run went to its
// end, after `retries` more runs (`text` then holds the last run's part).
bool zrReportText(Link& link, int module, bool permanent, int retries, std::string& text);

// The settings of one ZR write, in sending order: the default time, then each
// device's time and power.
struct ZrWriteStep {
    std::string name;  // "default-time", "device 5 time", "device 5 power"
    int device = -1;   // -1 for the default time
    bool power = false;
    int value = 0;
};
std::vector<ZrWriteStep> zrWriteSteps(const ZrConfiguration& configuration);
// Sends one step to module 0..7; false when the controller stopped answering.
bool writeZrStep(Link& link, int module, const ZrWriteStep& step, bool permanent);

}  // namespace korvel::backup
