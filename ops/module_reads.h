#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "link/link.h"
#include "ops/kx_names.h"
#include "service/module_registry.h"
#include "zr/zr_report.h"

namespace korvel::ops {

// How long a command waits for a module's report after its closing frame,
// fetching with empty frames as the poll timer would.
inline constexpr std::chrono::seconds kModuleReportWait{2};

// One KX module (0..31, 16..31 the second half of a KX44) read or written
// through the page's own command road. nullopt when no report came.
// A read that got no answer is asked again up to `retries` times.
std::optional<int> readKxSetting(Link& link, const ModuleRegistry& registry, int module,
                                 const KxSettingName& row, bool permanent, int retries);
// Writes and returns the value the module's answer to the Set confirms.
// A write is sent once: a missing confirmation is for a read-back to settle.
// Only a write that never went out (its opening frame unanswered) is tried
// again, up to `retries` times.
std::optional<int> writeKxSetting(Link& link, const ModuleRegistry& registry, std::int32_t target,
                                  const KxSettingName& row, int value, bool permanent, int retries);

// A ZR32 module's whole configuration. Each value that did not come is asked
// for again on its own, up to `retries` times; nullopt unless every value came.
std::optional<ZrConfiguration> readZrValues(Link& link, int module, bool permanent, int retries);

struct ZrWriteStep;
// One value of a ZR32 module, the one `step` writes, asked for up to 1 + `retries` times.
std::optional<int> readZrValue(Link& link, int module, bool permanent, const ZrWriteStep& step,
                               int retries);

// The settings of one ZR write, in sending order: the default time, then each
// device's time and power.
struct ZrWriteStep {
    std::string name;  // "default-time", "device 5 time", "device 5 power"
    int device = -1;   // -1 for the default time
    bool power = false;
    int value = 0;
};
std::vector<ZrWriteStep> zrWriteSteps(const ZrConfiguration& configuration);
// The value `step` reads in a configuration.
int zrValueOf(const ZrConfiguration& configuration, const ZrWriteStep& step);
// Sends one step to the modules, as writeKxSetting does; false unless every
// frame of the command was answered.
bool writeZrStep(Link& link, const std::vector<int>& modules, const ZrWriteStep& step,
                 bool permanent, int retries);

}  // namespace korvel::ops
