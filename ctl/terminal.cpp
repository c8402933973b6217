#include "ctl/terminal.h"

#include <QDateTime>

#include "wire_words/log_lines.h"

namespace korvel::ctl {

std::string timeOfDay(Clock::time_point when) {
    const auto ago = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - when);
    return QDateTime::currentDateTime()
        .addMSecs(-ago.count())
        .toString("HH:mm:ss.zzz")
        .toStdString();
}

void TerminalLog::exchanged(const ExchangeRecord& record) {
    if (verbose)
        for (const LogLine& line : logLines(record))
            terminal_.err << formatLine(line, timeOfDay(line.sent), {true, true, true}) << '\n';
    if (onExchange) onExchange(record);
}

}  // namespace korvel::ctl
