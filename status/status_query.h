#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>

#include "link/bus_words.h"
#include "link/link.h"

namespace korvel {

// An answer to a status query carries `length` data bytes and repeats the
// request's leading bytes in R1, R2, ...
bool replyMatches(const ReplyBuffer& reply, int length, std::initializer_list<int> leading);

// One status query; true when it was answered with a matching reply (in link.reply()).
bool queryMatches(Link& link, const Frame& request, int length, std::initializer_list<int> leading);

// What a module reported to (3; 1, 11, address).
struct ModuleAnswer {
    std::uint8_t status = 0;
    int version = 0;
};
std::optional<ModuleAnswer> queryModule(Link& link, int address);

}  // namespace korvel
