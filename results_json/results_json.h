#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "ops/kx_ops.h"
#include "ops/op_error.h"
#include "ops/system_ops.h"
#include "ops/system_runs.h"
#include "ops/zr_ops.h"
#include "testpanel/function_frame.h"

namespace korvel::results {

// Why a run failed, as the JSON's error names it.
enum class ErrorCode {
    Usage,          // the request is wrong; nothing was sent
    Port,           // no port could be opened
    LineLost,       // the line went away during the run
    NoAnswer,       // the controller or a module did not answer
    NotRegistered,  // the module did not answer the status request
    NotConfirmed,   // a module reported another value than the one written
    Differences,    // verify or restore found values other than the file's
    Skipped,        // a module of the file is missing now, of another type, or unknown
    Verdict,        // the master/slave check found no master or several
    Cancelled,      // the user did not confirm an erase
    File,           // a file could not be read or written
    Stopped,        // a signal or a stop request ended the run
};
const char* errorCodeName(ErrorCode code);
// The code an operation's failure is reported under.
ErrorCode errorCodeOf(ops::OpError error);

// {"code", "module", "setting", "message"}: empty module or setting is null.
QJsonObject errorJson(ErrorCode code, const std::string& module, const std::string& setting,
                      const std::string& message);

// The members of each command's object, as the output schema names them.
QJsonObject kxGetJson(const ops::KxGetResult& r, bool permanent);
QJsonObject kxSetJson(const ops::KxSetResult& r, const ModuleRegistry& registry,
                      const ops::KxSettingName& row, int value, bool permanent);
// kx erase and zr erase: {"erased": [...]}.
QJsonObject erasedJson(const std::vector<std::string>& names);
QJsonObject msCheckJson(const ops::MsCheckResult& r, const ModuleRegistry& registry);

// The page's report text of the items, lines ending in LF, no last LF.
std::string zrReportText(const std::vector<ZrReportItem>& items);
QJsonObject zrReportJson(int module, bool permanent, const std::string& text);
// Lists the modules that confirmed the write.
QJsonObject zrSetJson(const ops::ZrSetResult& r, const std::string& setting, int value,
                      bool permanent);

QJsonArray bitList(const VgBits& boxes);
QJsonObject vgSetJson(const std::string& unit, const ops::VgRequest& request,
                      const ops::VgSetResult& r);
QJsonObject resetFaultJson();
QJsonObject functionTestJson(FunctionGroup group, int decoder, int block,
                             const std::array<bool, 8>& boxes);

QJsonArray itemsJson(const std::vector<ops::RunItem>& items);
// backup: the items read; a backup that is not whole lists none as saved.
QJsonObject backupJson(const std::string& file, const ops::BackupRun& run);
// verify and restore: the items, and for a restore that ended short what it
// wrote and what it did not, one entry per module.
QJsonObject runJson(const std::string& file, const ops::RunResult& result, bool restore);

// Where a stopped run stood: the module and setting of its last item that got
// no answer; empty when none did.
struct RunPlace {
    std::string module, setting;
};
RunPlace stopPlace(const ops::RunResult& result);

}  // namespace korvel::results
