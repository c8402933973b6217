#pragma once

#include <QByteArray>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "backup/module_io.h"
#include "backup/module_name.h"

namespace korvel::backup {

inline constexpr const char* kBackupFormat = "korvelctl-backup";
inline constexpr int kBackupVersion = 1;

// One module's settings as read: KX settings by their korvelctl name, or a
// ZR32 module's whole configuration.
struct ModuleSettings {
    std::map<std::string, int> kx;
    std::optional<ZrConfiguration> zr;
    bool operator==(const ModuleSettings&) const = default;
};

struct ModuleBackup {
    ModuleName name;
    std::string type;  // "KX-H", "KX44", "WOBE-s", "ZR32"
    std::string firmware;
    ModuleSettings active;
    ModuleSettings permanent;
    bool operator==(const ModuleBackup&) const = default;
};

struct Backup {
    std::string date;  // ISO 8601, UTC
    std::string systemStatus, protocolVersion, systemVersion;
    std::vector<ModuleBackup> modules;
    bool operator==(const Backup&) const = default;
};

inline constexpr const char* kZrType = "ZR32";

QByteArray toJson(const Backup& backup);

// The file's content checked whole: nullopt with the reason in `error` when it
// is not a backup, of another version, cut short, or holds a value that no
// module takes.
std::optional<Backup> fromJson(const QByteArray& json, std::string& error);

}  // namespace korvel::backup
