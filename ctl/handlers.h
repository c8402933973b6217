#pragma once

#include "ctl/command_table.h"

namespace korvel::ctl {

// The handlers the command table's rows name, by family file.
int ports(Command& c, const QStringList& args);
int printStatus(Command& c, const QStringList& args);
int monitor(Command& c, const QStringList& args);
int resetFault(Command& c, const QStringList& args);
int vgSet(Command& c, const QStringList& args);
int functionTest(Command& c, const QStringList& args);
int kxGet(Command& c, const QStringList& args);
int kxSet(Command& c, const QStringList& args);
int kxErase(Command& c, const QStringList& args);
int kxMsCheck(Command& c, const QStringList& args);
int zrReport(Command& c, const QStringList& args);
int zrSet(Command& c, const QStringList& args);
int zrErase(Command& c, const QStringList& args);
int backupCommand(Command& c, const QStringList& args);
int restoreCommand(Command& c, const QStringList& args);
int verifyCommand(Command& c, const QStringList& args);

}  // namespace korvel::ctl
