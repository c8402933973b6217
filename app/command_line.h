#pragma once

#include <optional>
#include <string_view>

namespace korvel::app {

// What a desktop program takes from its command line: "--help" (or "-h") and
// "--version" print on standard output and end the run, before any window or
// display is needed. Everything else is Qt's own (such as -style) or unread.
// Returns the exit status when the run ends here.
std::optional<int> answerHelpOrVersion(int argc, char** argv, std::string_view program,
                                       std::string_view help);

}  // namespace korvel::app
