#include "status/module_lists.h"
#include "status/status_query.h"
#include "status/status_request.h"
#include "status/status_texts.h"
#include "status/summary_codes.h"
#include "status/table_slot.h"

namespace korvel {

namespace {

// A summary reply names its sub-command in bits 4-7 of R3.
bool querySummary(Link& link, int sub, int length) {
    return link.Transact(Frame{kToController, kSummary, sub}) &&
           replyMatches(link.reply(), length, {kToController, kSummary}) &&
           (link.reply()[3] >> 4) == sub;
}

// Bit j of R(3 + i) belongs to module 4i + j.
bool moduleBit(const ReplyBuffer& reply, int module) {
    return ((reply[3 + module / 4] >> (module % 4)) & 1) != 0;
}

// Only the first sixteen KX entries belong to this view; the second halves
// keep what a standard request found.
void resetRegistry(ModuleRegistry& registry) {
    for (int n = 0; n < 16; ++n) slot(registry.kxTypes, n) = kKxNone;
    for (int n = 0; n < 8; ++n) slot(registry.zrPresent, n) = -1;
}

void queryDipSwitches(Link& link, ClassicStatusTexts& t) {
    if (!querySummary(link, kDipSwitches, 3)) return;
    for (int i = 0; i < 4; ++i) slot(t.dip, i) = moduleBit(link.reply(), i) ? "Off" : "On";
}

void queryKxModules(Link& link, ModuleRegistry& registry, ClassicStatusTexts& t) {
    if (querySummary(link, kKxPresence, 6))
        for (int k = 0; k < 16; ++k)
            slot(t.kxStatus, k) = moduleBit(link.reply(), k) ? "Active" : kClassicNotFoundText;
    if (querySummary(link, kKxTypes, 6)) {
        for (int k = 0; k < 16; ++k) {
            const bool kxcc = moduleBit(link.reply(), k);
            const bool active = slot(t.kxStatus, k) == "Active";
            slot(t.kxType, k) = !active ? "N.A." : kxcc ? "KXCC" : "KX-H";
            slot(registry.kxTypes, k) = !active ? kKxNone : kxcc ? kKxWobe : kKxH;
        }
    }
    if (querySummary(link, kKxFaults, 6)) {
        for (int k = 0; k < 16; ++k)
            if (slot(t.kxStatus, k) == "Active")
                slot(t.kxStatus, k) = moduleBit(link.reply(), k) ? "Fault" : "OK";
    }
}

void queryZrModules(Link& link, ModuleRegistry& registry, ClassicStatusTexts& t) {
    if (!querySummary(link, kZrPresence, 4)) return;
    for (int k = 0; k < 8; ++k) {
        const bool present = moduleBit(link.reply(), k);
        slot(t.zrStatus, k) = present ? "OK" : kClassicNotFoundText;
        if (present) slot(registry.zrPresent, k) = 1;
    }
}

}  // namespace

ClassicStatusTexts::ClassicStatusTexts() {
    kxStatus.fill(kUnknownText);
    kxType.fill(kUnknownText);
    zrStatus.fill(kUnknownText);
}

ClassicStatusTexts queryClassicView(Link& link, ModuleRegistry& registry,
                                    const SystemFacts& facts) {
    ClassicStatusTexts t;
    resetRegistry(registry);
    t.system = systemBoxes(facts);
    // The capacity answer carries exactly 16 in R3, not merely sub-command 1 in its upper bits.
    if (querySummary(link, kCapacity, 4) && link.reply()[3] == 16)
        t.cap = std::to_string(link.reply()[4]);
    link.Transact(Frame{kToController, kSummary, kUnexamined});
    queryDipSwitches(link, t);
    queryKxModules(link, registry, t);
    rebuildKxListClassic(registry);
    queryZrModules(link, registry, t);
    rebuildZrList(registry);
    return t;
}

}  // namespace korvel
