#pragma once

#include <cstdint>
#include <vector>

#include "link/serial_port.h"

namespace korvel {

// What follows a frame in the log that could not answer the request in hand.
inline constexpr const char* kSetAsideNote = "  (ignored: not the answer to this request)";

// One exchange as it went over the wire, for a log that keeps more than text:
// the bytes both ways, header to check byte, and when they went and came.
struct ExchangeRecord {
    using Bytes = std::vector<std::uint8_t>;

    Bytes request;
    Bytes answer;                 // the frame taken as the answer; empty when none was
    std::vector<Bytes> setAside;  // frames that could not answer this request, in arrival order
    Bytes checkError;             // a frame whose check byte was wrong; it ended the wait
    Clock::time_point sent{};
    Clock::time_point answered{};  // when the answer was complete, or the wait ended
    bool unanswered = false;
};

}  // namespace korvel
