#include "link/dispatch.h"

#include "link/bus_words.h"

namespace korvel {

namespace {

std::vector<int> kxModulesOfType(const KxTypeTable& types, int last, auto matches) {
    std::vector<int> modules;
    for (int m = 0; m <= last; ++m)
        if (matches(types[static_cast<std::size_t>(m)])) modules.push_back(m);
    return modules;
}

Frame kxFrame(int m, int n, CommandByte c, CommandByte v, CommandByte x) {
    return Frame{kToModule, kxAddressByte(m), kxHalfByte(m, c.value()), v, x}.first(n + 2);
}

Frame zrFrame(int m, int n, CommandByte c, CommandByte v, CommandByte x) {
    return Frame{kToModule, zrAddressByte(m), c, v, x}.first(n + 2);
}

// Sends one frame per module; false at the first unanswered one.
bool sendToEach(Link& link, const std::vector<int>& modules, auto frameFor) {
    for (int m : modules)
        if (!link.Transact(frameFor(m))) return false;
    return true;
}

}  // namespace

std::vector<int> kxTargets(std::int32_t itemData, const KxTypeTable& types) {
    switch (itemData) {
        case kAllKXxx:
            return kxModulesOfType(types, 31, [](int t) { return t == kKxH || t == kKx44; });
        case kAllKXH:
            return kxModulesOfType(types, 15, [](int t) { return t == kKxH; });
        case kAllWobe:
            return kxModulesOfType(types, 15, [](int t) { return t == kKxWobe; });
        case kAllKX44:
            return kxModulesOfType(types, 31, [](int t) { return t == kKx44; });
        default:
            if (itemData >= 0 && itemData <= 31) return {itemData};
            return {};
    }
}

std::vector<int> zrTargets(std::int32_t itemData) {
    if (itemData == kAllZR) return {0, 1, 2, 3, 4, 5, 6, 7};
    if (itemData >= 0 && itemData <= 7) return {itemData};
    return {};
}

void SendModuleCommand(Link& link, const ModuleRegistry& registry, Family family, int n,
                       CommandByte c, CommandByte v, CommandByte x) {
    if (!requirePortOpen(link)) return;
    if (!link.Transact(Frame{})) return;

    bool answered = true;
    switch (family) {
        case Family::KX:
            if (registry.kxList.empty()) {
                link.prompter().show(kRequestStatusFirst);
            } else if (auto s = registry.kxList.selectedItemData()) {
                answered = sendToEach(link, kxTargets(*s, registry.kxTypes),
                                      [&](int m) { return kxFrame(m, n, c, v, x); });
            }
            break;
        case Family::ZR:
            if (registry.zrList.empty()) {
                link.prompter().show(kRequestStatusFirst);
            } else if (auto s = registry.zrList.selectedItemData()) {
                answered =
                    sendToEach(link, zrTargets(*s), [&](int m) { return zrFrame(m, n, c, v, x); });
            }
            break;
        case Family::VG:
            answered = link.Transact(Frame{kToController, c, v, x, 0}.first(n));
            break;
    }
    if (answered) link.Transact(Frame{});
}

}  // namespace korvel
