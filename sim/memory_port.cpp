#include "sim/memory_port.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace korvel::sim {

bool MemoryPort::open(int portNumber) {
    if (open_ || !availablePorts.contains(portNumber) || busyPorts.contains(portNumber))
        return false;
    open_ = true;
    port_ = portNumber;
    ++openCount_;
    return true;
}

void MemoryPort::close() {
    open_ = false;
    pending_.clear();
    aside_.clear();
    input_.clear();
}

bool MemoryPort::asideDue() const {
    return !aside_.empty() && aside_.begin()->first <= clock_.now() &&
           (pending_.empty() || pending_.front().startsFrame);
}

void MemoryPort::collectReady() {
    for (;;) {
        if (asideDue() && (pending_.empty() || aside_.begin()->first <= pending_.front().ready)) {
            const auto& bytes = aside_.begin()->second;
            input_.insert(input_.end(), bytes.begin(), bytes.end());
            aside_.erase(aside_.begin());
        } else if (!pending_.empty() && pending_.front().ready <= clock_.now()) {
            input_.push_back(pending_.front().byte);
            pending_.pop_front();
        } else {
            return;
        }
    }
}

std::size_t MemoryPort::bytesAvailable() {
    collectReady();
    return input_.size();
}

bool MemoryPort::readByte(std::uint8_t& byte) {
    collectReady();
    if (input_.empty()) return false;
    byte = input_.front();
    input_.pop_front();
    return true;
}

void MemoryPort::write(std::span<const std::uint8_t> bytes) {
    if (!open_) return;
    written_.insert(written_.end(), bytes.begin(), bytes.end());
    clock_.advance(kByteTime * static_cast<long>(bytes.size()));
    for (const SimAnswer& answer : controller_.receive(bytes)) {
        Clock::time_point t = clock_.now() + answer.delay;
        if (answer.aside) {
            aside_.emplace(t, answer.bytes);
            continue;
        }
        if (!pending_.empty() && pending_.back().ready > t) t = pending_.back().ready;
        bool first = true;
        for (std::uint8_t b : answer.bytes)
            pending_.push_back({t += kByteTime, b, std::exchange(first, false)});
    }
}

bool MemoryPort::waitForReadyRead(std::chrono::milliseconds timeout) {
    if (controller_.vanished()) {
        close();
        return false;
    }
    if (bytesAvailable() > 0) return true;
    const Clock::time_point limit = clock_.now() + timeout;
    for (;;) {
        // A set-aside answer waits for the frame on the line to end.
        std::optional<Clock::time_point> next;
        if (!pending_.empty()) next = pending_.front().ready;
        if (!aside_.empty() && (pending_.empty() || pending_.front().startsFrame))
            next = std::min(next.value_or(Clock::time_point::max()), aside_.begin()->first);
        if (!next || *next > limit) break;
        clock_.advanceTo(*next);
        collectReady();
        if (!input_.empty()) return true;
    }
    clock_.advanceTo(limit);
    return false;
}

void MemoryPort::inject(std::span<const std::uint8_t> bytes) {
    for (std::uint8_t b : bytes) input_.push_back(b);
}

}  // namespace korvel::sim
