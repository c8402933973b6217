#include "ctl/terminal.h"

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

}  // namespace korvel::ctl
