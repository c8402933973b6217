#include "ctl/status_output.h"

#include <iomanip>
#include <sstream>

#include "results_json/status_json.h"
#include "status/status_format.h"

namespace korvel::ctl {


using results::StatusRow;
using results::statusRows;

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
