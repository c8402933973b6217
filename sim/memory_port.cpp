#include "sim/memory_port.h"

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
    input_.clear();
}

void MemoryPort::collectReady() {
    while (!pending_.empty() && pending_.front().ready <= clock_.now()) {
        input_.push_back(pending_.front().byte);
        pending_.pop_front();
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
        if (!pending_.empty() && pending_.back().ready > t) t = pending_.back().ready;
        for (std::uint8_t b : answer.bytes) pending_.push_back({t += kByteTime, b});
    }
}

bool MemoryPort::waitForReadyRead(std::chrono::milliseconds timeout) {
    if (controller_.vanished()) {
        close();
        return false;
    }
    if (bytesAvailable() > 0) return true;
    const Clock::time_point limit = clock_.now() + timeout;
    if (!pending_.empty() && pending_.front().ready <= limit) {
        clock_.advanceTo(pending_.front().ready);
        collectReady();
        return true;
    }
    clock_.advanceTo(limit);
    return false;
}

void MemoryPort::inject(std::span<const std::uint8_t> bytes) {
    for (std::uint8_t b : bytes) input_.push_back(b);
}

}  // namespace korvel::sim
