#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "service/module_registry.h"
#include "status/status_texts.h"
#include "status/system_query.h"

namespace korvel {

// What one module address said to a standard status request.
struct ModuleFact {
    ModuleFamily family = ModuleFamily::KX;
    int number = 0;                   // 0..15 KX and QH, 0..7 ZR
    int half = 0;                     // 1 for the second half of a KX44
    std::int16_t typeCode = kKxNone;  // KX type table code of a present KX module
    std::uint8_t status = 0;          // the status byte as reported
    int version = 0;                  // as reported, 0 = none
    // Its step got the answer it asked for; false means the exchange was lost
    // (or answered with something else), which says nothing about the module.
    bool answered = false;

    bool present() const { return answered && moduleAnswered(status); }
    // The KX type table index: n, or n + 16 for a second half.
    int kxIndex() const { return number + 16 * half; }
    bool operator==(const ModuleFact&) const = default;
};

// What the classic view's summary queries said; a query that got no matching
// answer stays empty. Bit k of a bitmap belongs to module k.
struct ClassicFacts {
    std::optional<int> capacity;             // remaining capacity
    std::optional<std::uint8_t> dipBits;     // bit i set: DIP switch i is off
    std::optional<std::uint16_t> kxPresent;  // the KX module is there
    std::optional<std::uint16_t> kxccBits;   // a KXCC rather than a KX-H
    std::optional<std::uint16_t> kxFaults;   // the KX module reports a fault
    std::optional<std::uint8_t> zrPresent;   // the ZR module is there

    bool kxActive(int k) const { return kxPresent && bit(*kxPresent, k); }
    static bool bit(unsigned bits, int k) { return ((bits >> k) & 1u) != 0; }
    bool operator==(const ClassicFacts&) const = default;
};

// Everything a status request found, as reported; texts are formatted from it.
struct StatusFacts {
    SystemFacts system;
    bool classic = false;
    std::vector<ModuleFact> modules;  // standard view: every address asked, in asking order
    ClassicFacts summary;             // classic view only
    bool operator==(const StatusFacts&) const = default;
};

}  // namespace korvel
