#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "kx/master_slave_check.h"
#include "ops/bus.h"
#include "ops/kx_names.h"
#include "ops/module_name.h"

namespace korvel::ops {

// Whether a selection takes a setting: a read of it, or a write.
enum class KxOfferCheck { Offered, NotOffered, ReadOnly };
KxOfferCheck kxOfferCheck(const KxSettingName& row, const KxSelection& selection, bool write);

// kx get: one setting, or every setting the module offers, read with retries.
struct KxReading {
    const KxSettingName* row;
    std::optional<int> value;  // nullopt: no answer after the retries
};
struct KxGetResult {
    ModuleName module;
    ModuleType type = ModuleType::Unknown;
    std::vector<KxReading> readings;
    // NotRegistered, Refused (with the offer check), LineLost; a setting that
    // did not answer is a reading without a value.
    Failure failure;
    KxOfferCheck offer = KxOfferCheck::Offered;
};
KxGetResult kxGet(Bus& bus, int module, const KxSettingName* one, bool permanent);

// kx set: a module or a group. The write goes out once; each module's value is
// settled by reading it back (a single module's confirmation counts as one).
struct KxSetModule {
    ModuleName module;
    std::optional<int> reported;
    bool confirmed = false;
};
struct KxSetResult {
    KxSelection selection;
    std::vector<KxSetModule> modules;
    // A group: modules of the family whose status answer was lost, so not set.
    std::vector<ModuleName> lost;
    Failure failure;  // the first: NotRegistered, Refused, LineLost, NotConfirmed
    KxOfferCheck offer = KxOfferCheck::Offered;
};
KxSetResult kxSet(Bus& bus, std::int32_t target, const KxSettingName& row, int value,
                  bool permanent);

// kx erase: a module or a group; the modules that answered.
struct KxEraseResult {
    std::vector<ModuleName> erased;
    Failure failure;
};
KxEraseResult kxErase(Bus& bus, std::int32_t target);

// The master/slave check over the registered modules, as the page runs it.
struct MsCheckResult {
    std::vector<ModuleName> modules;  // in the order of check.answers
    MasterSlaveCheck check;
    Failure failure;  // NoAnswer (at a module, setting "ms"), Verdict, LineLost
};
MsCheckResult kxMasterSlaveCheck(Bus& bus);

// A module's name as the registry knows its type: "kx:2.0" for a KX44 half.
ModuleName kxModule(int item);
ModuleType kxTypeAt(const ModuleRegistry& registry, int item);
std::string kxNameAt(const ModuleRegistry& registry, int item);

}  // namespace korvel::ops
