#include "ops/bus.h"

#include "status/module_lists.h"

namespace korvel::ops {

Bus::Bus(Link& link, ModuleRegistry& registry) : link_(link), registry_(registry) {}

Bus::Bus(SerialPort& port, Clock& clock, LogSink& log, PollSwitch& poll)
    : ownLink_(std::make_unique<Link>(port, clock, log, poll)),
      link_(*ownLink_),
      registry_(ownRegistry_) {}

void Bus::takeFacts(const StatusFacts& facts) {
    registerModules(registry_, facts);
    facts_ = facts;
}

}  // namespace korvel::ops
