#include "ctl/status_output.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <iomanip>
#include <sstream>

#include "ctl/backup_file.h"
#include "ctl/module_name.h"
#include "status/status_texts.h"

namespace korvel::ctl {

namespace {

// Modules of the status as the dialog lists them: those that answered.
struct StatusRow {
    std::string module, type, status, version;
};

std::vector<StatusRow> statusRows(const StatusReport& report) {
    std::vector<StatusRow> rows;
    const auto answered = [](const std::string& s) { return showsAnsweredModule(s); };
    if (const auto* t = std::get_if<StandardStatusTexts>(&report.dialog)) {
        for (std::size_t n = 0; n < 16; ++n) {
            const bool kx44 = t->kxType[n] == "KX44";
            const int item = static_cast<int>(n);
            if (answered(t->kxStatus[n]))
                rows.push_back({moduleNameText({ModuleFamily::KX, item}, kx44), t->kxType[n],
                                t->kxStatus[n], t->kxVersion[n]});
            if (kx44 && answered(t->kxStatus[n + 16]))
                rows.push_back({moduleNameText({ModuleFamily::KX, item + 16}), "KX44",
                                t->kxStatus[n + 16], t->kxVersion[n + 16]});
        }
        for (std::size_t n = 0; n < 8; ++n)
            if (answered(t->zrStatus[n]))
                rows.push_back(
                    {"zr:" + std::to_string(n), kZrType, t->zrStatus[n], t->zrVersion[n]});
        for (std::size_t n = 0; n < 16; ++n)
            if (answered(t->qhStatus[n]))
                rows.push_back({"qh:" + std::to_string(n), "QH", t->qhStatus[n], t->qhVersion[n]});
    } else {
        const auto& c = std::get<ClassicStatusTexts>(report.dialog);
        for (std::size_t n = 0; n < 16; ++n)
            if (answered(c.kxStatus[n]))
                rows.push_back({"kx:" + std::to_string(n), c.kxType[n], c.kxStatus[n], ""});
        for (std::size_t n = 0; n < 8; ++n)
            if (answered(c.zrStatus[n]))
                rows.push_back({"zr:" + std::to_string(n), kZrType, c.zrStatus[n], ""});
    }
    return rows;
}

const SystemBoxes& systemOf(const StatusReport& report) {
    return std::visit([](const auto& t) -> const SystemBoxes& { return t.system; }, report.dialog);
}

}  // namespace

void writeStatusJson(const StatusReport& report, std::ostream& out) {
    const SystemBoxes& s = systemOf(report);
    const auto* classic = std::get_if<ClassicStatusTexts>(&report.dialog);
    QJsonArray modules;
    for (const StatusRow& r : statusRows(report)) {
        QJsonObject m{{"module", QString::fromStdString(r.module)},
                      {"type", QString::fromStdString(r.type)},
                      {"status", QString::fromStdString(r.status)}};
        // The classic view reports no versions.
        if (!r.version.empty()) m.insert("version", QString::fromStdString(r.version));
        modules.append(m);
    }
    QJsonObject o{{"system-status", QString::fromStdString(s.system)},
                  {"protocol-version", QString::fromStdString(s.protVer)},
                  {"system-version", QString::fromStdString(s.sysVer)},
                  {"license-code", QString::fromStdString(s.license)},
                  {"modules", modules}};
    if (classic) {
        o.insert("remaining-capacity", QString::fromStdString(classic->cap));
        QJsonArray dip;
        for (const std::string& d : classic->dip) dip.append(QString::fromStdString(d));
        o.insert("dip-switches", dip);
    }
    out << QJsonDocument(o).toJson(QJsonDocument::Indented).toStdString();
}

void writeStatusText(const StatusReport& report, std::ostream& out) {
    const SystemBoxes& s = systemOf(report);
    const auto* classic = std::get_if<ClassicStatusTexts>(&report.dialog);
    const auto line = [&](const char* caption, const std::string& value) {
        out << std::left << std::setw(18) << caption << value << '\n';
    };
    line("System Status", s.system);
    line("Protocol Version", s.protVer);
    line("System Version", s.sysVer);
    line("License code", s.license);
    if (classic) {
        line("Remaining Cap", classic->cap);
        std::string dip;
        for (std::size_t i = 0; i < 4; ++i)
            dip += (i ? " " : "") + std::to_string(i + 1) + ":" + classic->dip[i];
        line("DIP status", dip);
    }
    out << '\n'
        << std::left << std::setw(8) << "Module" << std::setw(8) << "Type" << std::setw(11)
        << "Status"
        << "Version" << '\n';
    for (const StatusRow& r : statusRows(report)) {
        std::ostringstream row;
        row << std::left << std::setw(8) << r.module << std::setw(8) << r.type << std::setw(11)
            << r.status << r.version;
        std::string text = row.str();
        text.erase(text.find_last_not_of(' ') + 1);
        out << text << '\n';
    }
}

}  // namespace korvel::ctl
