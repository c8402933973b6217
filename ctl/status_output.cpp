#include "ctl/status_output.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <iomanip>
#include <sstream>

#include "ops/module_name.h"
#include "service/module_type.h"
#include "status/status_format.h"

namespace korvel::ctl {

using namespace korvel::ops;

namespace {

constexpr const char* kNotAnswering = "not answering";

// One line of the module table: a module that is there, or one whose step got
// no answer. Modules that answered as absent are left out, as the dialog's
// lists leave them out.
struct StatusRow {
    StatusRow(std::string module, std::string family, int number)
        : module(std::move(module)), family(std::move(family)), number(number) {}

    // The step that asks this module got no answer.
    void notAnswering() {
        answering = false;
        type.clear();
        status = kNotAnswering;
        version.clear();
    }

    std::string module, family;
    int number = 0;
    std::optional<int> half;  // only for the halves of a KX44
    bool answering = true;
    std::string type, status, version;
};

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

QString q(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

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

void writeStatusJson(const StatusFacts& facts, std::ostream& out) {
    out << QJsonDocument(statusJson(facts)).toJson(QJsonDocument::Indented).toStdString();
}

std::vector<std::string> notAnswering(const StatusFacts& facts, bool withQh) {
    std::vector<std::string> names;
    for (const StatusRow& r : statusRows(facts))
        if (!r.answering && (withQh || r.family != "qh")) names.push_back(r.module);
    return names;
}

void writeStatusText(const StatusFacts& facts, std::ostream& out) {
    const SystemTexts s = systemTexts(facts.system);
    const auto line = [&](const char* caption, const std::string& value) {
        out << std::left << std::setw(18) << caption << value << '\n';
    };
    line("System Status", s.system);
    line("Protocol Version", s.protVer);
    line("System Version", s.sysVer);
    line("License code", s.license);
    if (facts.classic) {
        const ClassicStatusTexts texts = classicStatusTexts(facts);
        line("Remaining Cap", texts.cap);
        std::string dip;
        for (std::size_t i = 0; i < 4; ++i)
            dip += (i ? " " : "") + std::to_string(i + 1) + ":" + texts.dip[i];
        line("DIP status", dip);
    }
    out << '\n'
        << std::left << std::setw(8) << "Module" << std::setw(8) << "Type" << std::setw(11)
        << "Status"
        << "Version" << '\n';
    for (const StatusRow& r : statusRows(facts)) {
        std::ostringstream row;
        row << std::left << std::setw(8) << r.module << std::setw(8) << r.type << std::setw(11)
            << r.status << r.version;
        std::string text = row.str();
        text.erase(text.find_last_not_of(' ') + 1);
        out << text << '\n';
    }
}

}  // namespace korvel::ctl
