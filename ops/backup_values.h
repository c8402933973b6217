#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ops/module_name.h"
#include "service/module_type.h"
#include "zr/zr_report.h"

namespace korvel::ops {

// One module's settings as read: KX settings by their korvelctl name, or a
// ZR32 module's whole configuration.
struct ModuleSettings {
    std::map<std::string, int> kx;
    std::optional<ZrConfiguration> zr;
    bool operator==(const ModuleSettings&) const = default;
};

struct ModuleBackup {
    ModuleName name;
    ModuleType type = ModuleType::Unknown;
    std::string firmware;
    ModuleSettings active;
    ModuleSettings permanent;
    bool operator==(const ModuleBackup&) const = default;
};

// A whole system's settings, as a backup takes them and a restore writes them.
struct Backup {
    std::string date;  // ISO 8601, UTC
    std::string systemStatus, protocolVersion, systemVersion;
    std::vector<ModuleBackup> modules;
    bool operator==(const Backup&) const = default;
};

}  // namespace korvel::ops
