#pragma once

#include <deque>
#include <map>
#include <set>

#include "link/serial_port.h"
#include "sim/controller.h"

namespace korvel::sim {

// A clock that moves only when told to; waits on the memory port move it.
class FakeClock final : public Clock {
  public:
    time_point now() override { return now_; }
    void advance(std::chrono::nanoseconds d) { now_ += d; }
    void advanceTo(time_point t) {
        if (t > now_) now_ = t;
    }

  private:
    time_point now_{std::chrono::hours(1)};
};

// A serial port wired straight to a simulated controller. Every byte costs its
// wire time at 19200 baud on the fake clock, so waits end without real time passing.
class MemoryPort final : public SerialPort {
  public:
    MemoryPort(SimController& controller, FakeClock& clock)
        : controller_(controller), clock_(clock) {}

    // Port numbers that exist, and those another program holds.
    std::set<int> availablePorts{1};
    std::set<int> busyPorts;

    bool open(int portNumber) override;
    void close() override;
    bool isOpen() const override { return open_; }
    std::size_t bytesAvailable() override;
    bool readByte(std::uint8_t& byte) override;
    void write(std::span<const std::uint8_t> bytes) override;
    bool waitForReadyRead(std::chrono::milliseconds timeout) override;

    int openedPort() const { return port_; }
    int openCount() const { return openCount_; }
    // Bytes the program wrote, in order.
    const std::vector<std::uint8_t>& written() const { return written_; }
    // Puts bytes on the line as if the controller sent them now.
    void inject(std::span<const std::uint8_t> bytes);

    static constexpr std::chrono::nanoseconds kByteTime{10'000'000'000 / 19200};

  private:
    struct Pending {
        Clock::time_point ready;
        std::uint8_t byte;
        bool startsFrame = false;
    };
    void collectReady();
    bool asideDue() const;

    SimController& controller_;
    FakeClock& clock_;
    bool open_ = false;
    int port_ = 0;
    int openCount_ = 0;
    std::deque<Pending> pending_;
    // Answers that later ones may overtake, by due time; each goes out whole
    // at the first gap between frames after it is due.
    std::multimap<Clock::time_point, std::vector<std::uint8_t>> aside_;
    std::deque<std::uint8_t> input_;
    std::vector<std::uint8_t> written_;
};

}  // namespace korvel::sim
