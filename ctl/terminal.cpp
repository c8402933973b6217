#include "ctl/terminal.h"

#include <QDateTime>

#include "wire_words/log_lines.h"

namespace korvel::ctl {

MessageAnswer TerminalPrompter::show(const std::string& text, MessageIcon, MessageButtons) {
    terminal_.message(text);
    return MessageAnswer::Ok;
}

void TerminalPrompter::showWithDetail(const std::string& text, const std::string& detail,
                                      MessageIcon) {
    std::string line = text;
    if (!detail.empty()) line += ": " + detail;
    for (char& c : line)
        if (c == '\n') c = ' ';
    terminal_.message(line);
}

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
