#pragma once

#include <QStringList>

#include "ctl/terminal.h"

namespace korvel::ctl {

inline constexpr int kExitOk = 0;
// The controller or a module did not answer, or a restore found differences.
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// Runs one korvelctl command line (arguments[0] is the program name).
int runKorvelctl(const QStringList& arguments, LineAccess& line, const Terminal& terminal);

}  // namespace korvel::ctl
