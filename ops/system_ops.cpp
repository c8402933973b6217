#include "ops/system_ops.h"

#include <thread>

#include "status/status_request.h"
#include "status/status_texts.h"
#include "status/system_query.h"
#include "vg/vg_commands.h"

namespace korvel::ops {

OpFailure exchangeFailure(const Bus& bus) {
    return {bus.link().portOpen() ? OpError::NoAnswer : OpError::LineLost, {}, {}, {}};
}

Failure requestStatus(Bus& bus, bool classic) {
    if (!bus.link().portOpen()) return OpFailure{OpError::NoPort, {}, {}, {}};
    const std::optional<StatusFacts> facts = RequestStatus(
        bus.link(), StatusOptions{.classicRequested = classic, .retries = bus.retries});
    if (!facts) return exchangeFailure(bus);
    bus.takeFacts(*facts);
    return std::nullopt;
}

std::vector<ModuleName> lostModules(const StatusFacts& facts, ModuleFamily family) {
    std::vector<ModuleName> lost;
    for (const ModuleFact& f : facts.modules)
        if (!f.answered && f.family == family)
            lost.push_back({family, family == ModuleFamily::KX ? f.kxIndex() : f.number});
    return lost;
}

Failure resetFault(Bus& bus) {
    if (!bus.link().portOpen()) return OpFailure{OpError::NoPort, {}, {}, {}};
    if (!ResetFault(bus.link())) return exchangeFailure(bus);
    return std::nullopt;
}

Failure functionTest(Bus& bus, const Frame& frame) {
    if (!bus.link().portOpen()) return OpFailure{OpError::NoPort, {}, {}, {}};
    if (!bus.link().Transact(frame)) return exchangeFailure(bus);
    return std::nullopt;
}

Failure monitor(Bus& bus, std::chrono::milliseconds interval) {
    if (!bus.link().portOpen()) return OpFailure{OpError::NoPort, {}, {}, {}};
    while (bus.stopReason().empty()) {
        if (!bus.link().Transact(Frame{})) return exchangeFailure(bus);
        std::this_thread::sleep_for(interval);
    }
    return std::nullopt;
}

VgUnitOffer vgOffer(const StatusFacts& facts) {
    VgUnitOffer o{korvel::vgOffer(vgFlags(facts.system))};
    o.unit = systemTypeOf(facts.system.systemType).caption;
    return o;
}

namespace {

// The first bit asked for that the unit does not offer; nullopt when all are.
std::optional<std::size_t> unoffered(bool frame, const VgBits& offered, const VgBits& asked) {
    for (std::size_t i = 0; i < asked.size(); ++i)
        if (asked[i] && (!frame || !offered[i])) return i;
    if (!frame) return asked.size();
    return std::nullopt;
}

}  // namespace

VgSetResult vgSet(Bus& bus, const VgRequest& request) {
    VgSetResult r;
    if (!bus.facts()) {
        r.failure = OpFailure{OpError::NotRegistered, "vg", {}, {}};
        return r;
    }
    const VgUnitOffer offer = vgOffer(*bus.facts());
    const auto refuse = [&](const char* what, std::size_t bit) {
        // No detail: the unit has no such bits at all.
        r.failure = OpFailure{OpError::Refused, "vg", what,
                              bit < VgBits{}.size() ? std::to_string(bit) : std::string()};
    };
    if (request.config)
        if (const auto bit = unoffered(offer.config, offer.configBits, *request.config)) {
            refuse("config", *bit);
            return r;
        }
    if (request.options)
        if (const auto bit = unoffered(offer.options, offer.optionBits, *request.options)) {
            refuse("options", *bit);
            return r;
        }
    if (request.config) {
        if (!sendVgConfig(bus.link(), *request.config, request.permanent).done()) {
            r.failure = exchangeFailure(bus);
            r.failure->setting = "config";
            return r;
        }
        r.configSent = true;
    }
    if (request.options) {
        if (!sendVgOptions(bus.link(), *request.options).done()) {
            r.failure = exchangeFailure(bus);
            r.failure->setting = "options";
            return r;
        }
        r.optionsSent = true;
    }
    return r;
}

}  // namespace korvel::ops
