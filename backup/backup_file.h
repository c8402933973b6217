#pragma once

#include <QByteArray>
#include <optional>
#include <string>

#include "ops/backup_values.h"

namespace korvel::backup {

inline constexpr const char* kBackupFormat = "korvelctl-backup";
inline constexpr int kBackupVersion = 1;

using ops::Backup;
using ops::ModuleBackup;
using ops::ModuleSettings;

QByteArray toJson(const Backup& backup);

// The file's content checked whole: nullopt with the reason in `error` when it
// is not a backup, of another version, cut short, or holds a value that no
// module takes.
std::optional<Backup> fromJson(const QByteArray& json, std::string& error);

}  // namespace korvel::backup
