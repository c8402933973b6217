#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "ops/bus.h"
#include "ops/module_name.h"
#include "ops/module_reads.h"
#include "zr/zr_report.h"

namespace korvel::ops {

// zr report: the page's report of one module, run again up to the bus's
// retries until it came whole. `items` are the last run's.
struct ZrReportResult {
    std::vector<ZrReportItem> items;
    bool whole = false;
    Failure failure;  // NotRegistered, NoAnswer (not whole), LineLost
};
ZrReportResult zrReport(Bus& bus, int module, bool permanent);

// The modules a ZR command addresses: one registered module, or for kAllZR
// every registered one. Empty when none is.
std::vector<int> zrTargetModules(const ModuleRegistry& registry, std::int32_t target);

// zr set: one write to each module, each settled by reading the value back.
struct ZrSetModule {
    ModuleName module;
    std::optional<int> reported;
    bool confirmed = false;
};
struct ZrSetResult {
    std::vector<ZrSetModule> modules;
    Failure failure;  // NotRegistered, NotConfirmed, NoAnswer, LineLost
};
ZrSetResult zrSet(Bus& bus, std::int32_t target, const ZrWriteStep& step, bool permanent);

struct ZrEraseResult {
    std::vector<ModuleName> erased;
    Failure failure;
};
ZrEraseResult zrErase(Bus& bus, std::int32_t target);

}  // namespace korvel::ops
