#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "link/frame.h"
#include "link/serial_port.h"

namespace korvel {

// Collects one reply frame byte by byte into a ReplyBuffer. Any byte below 128
// is a header and restarts the frame; bytes with bit 7 before a header are dropped.
class FrameReceiver {
  public:
    explicit FrameReceiver(ReplyBuffer& buffer) : buffer_(buffer) {}

    void start();
    // True once header, its data bytes and the check byte have arrived.
    bool feed(std::uint8_t byte);
    bool complete() const { return remaining_ == -1; }
    // The 7-bit sum of indexes 0..8 is zero.
    bool checksumOk() const;

  private:
    void clearData();

    ReplyBuffer& buffer_;
    int remaining_ = 8;  // 8: no header seen yet; -1: frame complete
    int index_ = 0;
};

inline constexpr std::chrono::milliseconds kReplyTimeout{2000};

// Waits until `deadline` for one valid reply frame; true when it is in `buffer`.
// A frame with a wrong check byte ends the wait as well; `checkError`, when
// given, then says so (the buffer holds the frame). The clock and `stop` are
// asked on every pass, at least every kStopCheck; a stop ends the wait (false).
bool ReceiveFrameBy(SerialPort& port, Clock& clock, ReplyBuffer& buffer, Clock::time_point deadline,
                    bool* checkError = nullptr, const StopRequest& stop = {});

}  // namespace korvel
