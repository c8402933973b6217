#pragma once

#include <QWidget>
#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "link/link.h"
#include "qt_serial/qt_serial_port.h"
#include "sim/pty_server.h"
#include "ui/message_log.h"

namespace korvel::bench {

using Clock = std::chrono::steady_clock;

// 19200 baud, 8N1: a start bit, eight data bits and a stop bit per byte.
inline constexpr std::chrono::nanoseconds kByteTime{10'000'000'000 / 19200};

// Clock::duration is std::chrono::nanoseconds, so this takes both.
double seconds(Clock::duration d);
double wireSeconds(std::size_t bytes);
// Processor time of the whole process, all threads, user and system.
double processCpuSeconds();
// Processor time of the calling thread alone, user and system.
double threadCpuSeconds();

// Repeated measurements of one figure; a busy machine only ever adds time.
struct Samples {
    std::vector<double> values;
    void add(double v) { values.push_back(v); }
    double min() const;
    double median() const { return quantile(0.5); }
    double max() const;
    // The value below which the share `q` of the samples lies.
    double quantile(double q) const;
};

// One figure: its number and name, then what was measured against its bound and target.
void printFigure(int number, const std::string& name);
void printLine(const char* format, ...) __attribute__((format(printf, 1, 2)));
// "met" or "MISSED", so a missed target stands out in the output.
const char* verdict(bool met);

struct QuietPrompter final : Prompter {
    MessageAnswer show(const std::string&, MessageIcon, MessageButtons) override {
        return MessageAnswer::Ok;
    }
};
struct NoPoll final : PollSwitch {
    void setPolling(bool) override {}
};

// The program's serial port, passed through, with the program's own clock
// around it: how long from the last byte of an answer to the next request
// (the program's turn), and how long each request takes to write.
class TimedPort final : public SerialPort {
  public:
    explicit TimedPort(SerialPort& port) : port_(port) {}

    struct Times {
        Samples turns;   // last byte read to the next request's write
        Samples writes;  // inside write()
    };
    // The times noted since the last call, and a fresh start.
    Times take();

    bool open(int portNumber) override { return port_.open(portNumber); }
    void close() override { port_.close(); }
    bool isOpen() const override { return port_.isOpen(); }
    std::size_t bytesAvailable() override { return port_.bytesAvailable(); }
    bool readByte(std::uint8_t& byte) override;
    void write(std::span<const std::uint8_t> bytes) override;
    bool waitForReadyRead(std::chrono::milliseconds timeout) override {
        return port_.waitForReadyRead(timeout);
    }

  private:
    SerialPort& port_;
    Times times_;
    std::optional<Clock::time_point> lastRead_;
};

// The program's serial-port code and message log on a pseudo-terminal with
// the simulated controller at the other end, which holds every byte for `byteTime`.
struct PtyRig {
    explicit PtyRig(sim::SimSystem system, std::chrono::nanoseconds byteTime = kByteTime);
    std::size_t wireBytes() const { return server.bytesIn() + server.bytesOut(); }

    sim::PtyServer server;
    QtSerialPort device;
    TimedPort port{device};
    SteadyClock clock;
    QuietPrompter prompter;
    QWidget logOwner;
    ui::MessageLog log{&logOwner};
    NoPoll poll;
    Link link{port, clock, log, poll};
};

// Processor time of the program alone: the process less the simulator's thread.
double programCpuSeconds(sim::PtyServer& server);

}  // namespace korvel::bench
