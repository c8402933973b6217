#pragma once

#include <termios.h>

#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <span>
#include <string>
#include <thread>

#include "sim/controller.h"

namespace korvel::sim {

// Serves a simulated controller on a pseudo-terminal, so the program's real
// serial-port code talks to it as to a device. Runs on its own thread.
class PtyServer {
  public:
    explicit PtyServer(SimSystem system);
    ~PtyServer();
    PtyServer(const PtyServer&) = delete;
    PtyServer& operator=(const PtyServer&) = delete;

    // The device the program opens, e.g. /dev/pts/5.
    const std::string& devicePath() const { return devicePath_; }

    // Runs `f` with the controller while the server thread keeps off it.
    template <class F>
    auto withController(F&& f) {
        std::lock_guard lock(mutex_);
        return f(controller_);
    }

    // Holds every byte for its wire time in both directions (0: as fast as the pty goes).
    // A byte reaches the other end when its time has passed, one after the other,
    // and the controller answers as soon as the last byte of a frame is in.
    void setByteTime(std::chrono::nanoseconds t) { byteTime_ = t; }
    // The line settings whoever opened the device applied, as the master side
    // sees them; false when the line has gone.
    bool lineSettings(termios& settings);
    // The line disappears: the program's port fails as when a USB adapter is pulled.
    void vanish();
    // The line's speed, framing and flow control as the program last set them on
    // its end: a pseudo-terminal's master reports its slave's settings.
    termios lineSettings();

    // Bytes that crossed the line so far: from the program, and back to it.
    std::size_t bytesIn() const { return bytesIn_; }
    std::size_t bytesOut() const { return bytesOut_; }
    // Processor time the server thread has used, so a measurement of the
    // program can leave the simulator out.
    std::chrono::nanoseconds cpuTime();

  private:
    using WireClock = std::chrono::steady_clock;

    void run();
    // The line disappears; the caller holds the mutex.
    void hangUp();
    void receive(std::span<const std::uint8_t> bytes, WireClock::time_point arrived);
    void send(const SimAnswer& answer, WireClock::time_point ready);
    void sendDueAnswers();
    int msUntilNextAnswer() const;
    bool writeToLine(std::span<const std::uint8_t> bytes);
    bool sleepUntil(WireClock::time_point t);

    SimController controller_;
    std::mutex mutex_;
    int master_ = -1;
    int slave_ = -1;
    std::string devicePath_;
    std::atomic<bool> stop_{false};
    std::atomic<std::chrono::nanoseconds> byteTime_{std::chrono::nanoseconds(0)};
    std::atomic<std::size_t> bytesIn_{0};
    std::atomic<std::size_t> bytesOut_{0};
    // When each direction of the line is free again; the server thread's own.
    WireClock::time_point inboundFree_{};
    WireClock::time_point outboundFree_{};
    // Answers set aside until their time, while later ones go out; by due time.
    std::multimap<WireClock::time_point, SimAnswer> aside_;
    std::thread thread_;
};

}  // namespace korvel::sim
