#include "backup/backup_file.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>
#include <set>

#include "ops/kx_names.h"
#include "ops/system_runs.h"

namespace korvel::backup {

using namespace korvel::ops;

namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

QJsonObject settingsJson(const ModuleSettings& s) {
    QJsonObject o;
    for (const auto& [name, value] : s.kx) o.insert(q(name), value);
    if (s.zr) {
        o.insert("default-time", s.zr->defaultTime);
        QJsonArray devices;
        for (const ZrDeviceSetting& d : s.zr->devices)
            devices.append(QJsonObject{{"time", d.time}, {"power", d.power}});
        o.insert("devices", devices);
    }
    return o;
}

// The reader stops at the first fault and names where it is.
class Reader {
  public:
    std::string error;

    bool fail(const std::string& where, const std::string& what) {
        if (error.empty()) error = where + ": " + what;
        return false;
    }

    std::optional<int> integer(const QJsonValue& v, int minimum, int maximum,
                               const std::string& where) {
        const double d = v.toDouble(-1e9);
        if (!v.isDouble() || d != std::floor(d) || d < minimum || d > maximum) {
            fail(where, "expected a whole number " + std::to_string(minimum) + ".." +
                            std::to_string(maximum));
            return std::nullopt;
        }
        return static_cast<int>(d);
    }

    bool kxSettings(const QJsonObject& o, ModuleType type, const std::string& where,
                    ModuleSettings& out) {
        for (const KxSettingName* row : backupRows(singleModule(type))) {
            const QJsonValue v = o.value(row->name);
            const std::string at = where + " \"" + row->name + "\"";
            if (v.isUndefined()) return fail(at, "missing");
            const std::optional<int> value = integer(v, 0, 127, at);
            // Any value a module can hold is kept as it reported it, even one
            // the page cannot show: what a backup writes, a restore accepts.
            if (!value) return false;
            out.kx[row->name] = *value;
        }
        if (static_cast<std::size_t>(o.size()) != out.kx.size())
            return fail(
                where, "holds a setting a " + std::string(moduleTypeName(type)) + " does not have");
        return true;
    }

    bool zrSettings(const QJsonObject& o, const std::string& where, ModuleSettings& out) {
        ZrConfiguration c;
        const std::optional<int> t =
            integer(o.value("default-time"), 0, 127, where + " default-time");
        if (!t) return false;
        c.defaultTime = *t;
        const QJsonArray devices = o.value("devices").toArray();
        if (devices.size() != 64) return fail(where, "needs 64 devices");
        for (int d = 0; d < 64; ++d) {
            const QJsonObject device = devices.at(d).toObject();
            const std::string at = where + " device " + std::to_string(d);
            const std::optional<int> time = integer(device.value("time"), 0, 127, at + " time");
            // A power code the page has no button for is kept, as a KX value is.
            const std::optional<int> power = integer(device.value("power"), 0, 127, at + " power");
            if (!time || !power) return false;
            c.devices[static_cast<std::size_t>(d)] = {*time, *power};
        }
        if (o.size() != 2) return fail(where, "holds more than default-time and devices");
        out.zr = c;
        return true;
    }

    bool settings(const QJsonObject& module, const char* key, const ModuleBackup& m,
                  const std::string& where, ModuleSettings& out) {
        const QJsonValue v = module.value(key);
        const std::string at = where + " " + key;
        if (!v.isObject()) return fail(at, "missing");
        if (m.name.family == ModuleFamily::ZR) return zrSettings(v.toObject(), at, out);
        return kxSettings(v.toObject(), m.type, at, out);
    }

    std::optional<ModuleBackup> module(const QJsonValue& value, int index) {
        const std::string where = "module " + std::to_string(index + 1);
        const QJsonObject o = value.toObject();
        const std::optional<ModuleName> name =
            parseModuleName(o.value("module").toString().toStdString());
        if (!name) {
            fail(where, "no module name like kx:2.1 or zr:1");
            return std::nullopt;
        }
        const std::string typeText = o.value("type").toString().toStdString();
        const std::optional<ModuleType> type = moduleTypeNamed(typeText);
        const bool typeFits =
            type && (name->family == ModuleFamily::ZR) == (*type == ModuleType::Zr32);
        if (!typeFits) {
            fail(where, "type \"" + typeText + "\" does not fit " + moduleNameText(*name));
            return std::nullopt;
        }
        ModuleBackup m{*name, *type, o.value("firmware").toString().toStdString(), {}, {}};
        const std::string at = moduleNameOf(*name, m.type);
        if (!settings(o, "active", m, at, m.active) ||
            !settings(o, "permanent", m, at, m.permanent))
            return std::nullopt;
        return m;
    }
};

}  // namespace

QByteArray toJson(const Backup& b) {
    QJsonArray modules;
    for (const ModuleBackup& m : b.modules) {
        modules.append(QJsonObject{{"module", q(moduleNameOf(m.name, m.type))},
                                   {"type", q(std::string(moduleTypeName(m.type)))},
                                   {"firmware", q(m.firmware)},
                                   {"active", settingsJson(m.active)},
                                   {"permanent", settingsJson(m.permanent)}});
    }
    const QJsonObject controller{{"system-status", q(b.systemStatus)},
                                 {"protocol-version", q(b.protocolVersion)},
                                 {"system-version", q(b.systemVersion)}};
    const QJsonObject root{{"format", kBackupFormat},
                           {"version", kBackupVersion},
                           {"date", q(b.date)},
                           {"controller", controller},
                           {"modules", modules}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

std::optional<Backup> fromJson(const QByteArray& json, std::string& error) {
    QJsonParseError parse{};
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parse);
    if (parse.error != QJsonParseError::NoError) {
        error = "not readable as JSON (" + parse.errorString().toStdString() + " at byte " +
                std::to_string(parse.offset) + ")";
        return std::nullopt;
    }
    const QJsonObject root = doc.object();
    if (root.value("format").toString() != kBackupFormat) {
        error = std::string("not a korvelctl backup (no \"format\": \"") + kBackupFormat + "\")";
        return std::nullopt;
    }
    if (root.value("version").toInt(-1) != kBackupVersion) {
        error = "backup version " + root.value("version").toVariant().toString().toStdString() +
                " is not known; this korvelctl reads version " + std::to_string(kBackupVersion);
        return std::nullopt;
    }
    const QJsonObject controller = root.value("controller").toObject();
    Backup b{root.value("date").toString().toStdString(),
             controller.value("system-status").toString().toStdString(),
             controller.value("protocol-version").toString().toStdString(),
             controller.value("system-version").toString().toStdString(),
             {}};
    if (!root.value("modules").isArray()) {
        error = "no list of modules";
        return std::nullopt;
    }
    Reader reader;
    std::set<ModuleName> seen;
    const QJsonArray modules = root.value("modules").toArray();
    for (int i = 0; i < modules.size(); ++i) {
        std::optional<ModuleBackup> m = reader.module(modules.at(i), i);
        if (!m) {
            error = reader.error;
            return std::nullopt;
        }
        if (!seen.insert(m->name).second) {
            error = moduleNameText(m->name) + " appears twice";
            return std::nullopt;
        }
        b.modules.push_back(std::move(*m));
    }
    return b;
}

}  // namespace korvel::backup
