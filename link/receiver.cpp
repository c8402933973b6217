#include "link/receiver.h"

#include <algorithm>
#include <numeric>

namespace korvel {

void FrameReceiver::clearData() {
    for (std::size_t i = 1; i <= 8; ++i) buffer_.bytes[i] = 0;
}

void FrameReceiver::start() {
    clearData();
    remaining_ = 8;
    index_ = 0;
}

bool FrameReceiver::feed(std::uint8_t byte) {
    if (complete()) return true;
    if (byte < 128) {
        buffer_.bytes[0] = byte;
        clearData();
        remaining_ = byte % 8;
        index_ = 1;
    } else if (remaining_ < 8) {
        buffer_.bytes[static_cast<std::size_t>(index_++)] = static_cast<std::uint8_t>(byte - 128);
        --remaining_;
    }
    return complete();
}

bool FrameReceiver::checksumOk() const {
    const unsigned sum = std::accumulate(buffer_.bytes.begin(), buffer_.bytes.begin() + 9, 0u);
    return sum % 128 == 0;
}

bool ReceiveFrameBy(SerialPort& port, Clock& clock, ReplyBuffer& buffer, Clock::time_point deadline,
                    bool* checkError, const StopRequest& stop) {
    FrameReceiver receiver(buffer);
    receiver.start();
    // An answer already in hand is taken whole before a stop is heeded: the
    // stop is asked before every wait, and in a stream that never pauses,
    // every kStopCheckBytes (far more than a frame).
    constexpr int kStopCheckBytes = 64;
    int sinceCheck = 0;
    while (!receiver.complete()) {
        const Clock::time_point now = clock.now();
        if (now > deadline) break;
        const bool waiting = port.bytesAvailable() > 0;
        if ((!waiting || ++sinceCheck % kStopCheckBytes == 0) && stop && stop()) break;
        if (!waiting) {
            // Block in the operating system rather than spin; round up so the
            // wait never ends before the full time has passed. With someone
            // to ask about stopping, wait in slices so the question comes often.
            auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now);
            if (left.count() <= 0) break;
            if (stop) left = std::min(left, kStopCheck);
            if (!port.waitForReadyRead(left) && !port.isOpen()) break;
            continue;
        }
        std::uint8_t byte = 0;
        if (!port.readByte(byte)) continue;
        receiver.feed(byte);
    }
    const bool badCheck = receiver.complete() && !receiver.checksumOk();
    if (checkError) *checkError = badCheck;
    return receiver.complete() && !badCheck;
}

}  // namespace korvel
