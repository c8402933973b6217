#include "results_json/status_json.h"

#include <QJsonArray>

#include "ops/module_name.h"
#include "service/module_type.h"
#include "status/status_format.h"

namespace korvel::results {

using namespace korvel::ops;

namespace {

// The module's name and family, and the type it reported.
StatusRow namedRow(const ModuleFact& f) {
    if (f.family == ModuleFamily::KX) {
        const bool kx44 = f.half == 1 || f.typeCode == kKx44;
        StatusRow row(moduleNameText({ModuleFamily::KX, f.kxIndex()}, kx44), "kx", f.number);
        if (kx44) row.half = f.half;
        row.type = factKxTypeText(f);
        return row;
    }
    if (f.family == ModuleFamily::ZR) {
        StatusRow row(moduleNameText({ModuleFamily::ZR, f.number}), "zr", f.number);
        row.type = moduleTypeName(ModuleType::Zr32);
        return row;
    }
    StatusRow row("qh:" + std::to_string(f.number), "qh", f.number);
    row.type = "QH";
    return row;
}

StatusRow standardRow(const ModuleFact& f) {
    StatusRow row = namedRow(f);
    if (!f.answered) {
        row.notAnswering();
    } else {
        row.status = factStatusText(f);
        row.version = factVersionText(f);
    }
    return row;
}

// The classic view has no versions; a summary that got no answer leaves every
// module it covers not answering.
void classicRows(const ClassicFacts& c, std::vector<StatusRow>& rows) {
    for (int k = 0; k < 16; ++k) {
        if (c.kxPresent && !c.kxActive(k)) continue;
        StatusRow row(moduleNameText({ModuleFamily::KX, k}), "kx", k);
        row.type = classicKxTypeText(c, k);
        row.status = classicKxStatusText(c, k);
        if (!c.kxPresent) row.notAnswering();
        rows.push_back(row);
    }
    for (int k = 0; k < 8; ++k) {
        if (c.zrPresent && !ClassicFacts::bit(*c.zrPresent, k)) continue;
        StatusRow row(moduleNameText({ModuleFamily::ZR, k}), "zr", k);
        row.type = moduleTypeName(ModuleType::Zr32);
        row.status = classicZrStatusText(c, k);
        if (!c.zrPresent) row.notAnswering();
        rows.push_back(row);
    }
}

QString q(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

std::vector<StatusRow> statusRows(const StatusFacts& facts) {
    std::vector<StatusRow> rows;
    if (facts.classic) {
        classicRows(facts.summary, rows);
        return rows;
    }
    for (const ModuleFact& f : facts.modules)
        if (!f.answered || f.present()) rows.push_back(standardRow(f));
    return rows;
}

QJsonObject statusJson(const StatusFacts& facts) {
    const SystemTexts s = systemTexts(facts.system);
    QJsonArray modules;
    for (const StatusRow& r : statusRows(facts)) {
        QJsonObject m{{"module", q(r.module)},
                      {"family", q(r.family)},
                      {"number", r.number},
                      {"answering", r.answering}};
        if (r.half) m.insert("half", *r.half);
        if (r.answering) {
            m.insert("type", q(r.type));
            m.insert("status", q(r.status));
            if (!r.version.empty()) m.insert("version", q(r.version));
        }
        modules.append(m);
    }
    QJsonObject o{{"view", facts.classic ? "classic" : "standard"},
                  {"system-status", q(s.system)},
                  {"protocol-version", q(s.protVer)},
                  {"system-version", q(s.sysVer)},
                  {"license-code", q(s.license)},
                  {"modules", modules}};
    if (facts.classic) {
        const ClassicFacts& c = facts.summary;
        o.insert("remaining-capacity", c.capacity ? QJsonValue(*c.capacity) : QJsonValue());
        const ClassicStatusTexts texts = classicStatusTexts(facts);
        QJsonArray dip;
        if (c.dipBits)
            for (const std::string& d : texts.dip) dip.append(q(d));
        o.insert("dip-switches", dip);
    }
    return o;
}

std::vector<std::string> notAnswering(const StatusFacts& facts, bool withQh) {
    std::vector<std::string> names;
    for (const StatusRow& r : statusRows(facts))
        if (!r.answering && (withQh || r.family != "qh")) names.push_back(r.module);
    return names;
}

}  // namespace korvel::results
