#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "link/port_name.h"

namespace korvel {

// Asked on every pass of every wait on the line, at least every kStopCheck,
// and before each exchange: true when the user wants the run to end (Ctrl+C,
// SIGTERM, the window's Cancel). Empty: nobody asks.
using StopRequest = std::function<bool()>;
inline constexpr std::chrono::milliseconds kStopCheck{100};

// What the link needs of a serial line. The program's implementation wraps
// QSerialPort; the tests use an in-memory port in front of the simulator.
class SerialPort {
  public:
    virtual ~SerialPort() = default;

    // Opens port number 1..16 at 19200 baud, 8N1. False when it cannot be opened.
    virtual bool open(int portNumber) = 0;
    // Opens the port a PortSpec names: a number as above, an address as
    // openAddress; a device path only where the adapter reaches devices.
    virtual bool open(const PortSpec& port);
    // Opens a port named by an address (a network port); false for a port
    // that has none.
    virtual bool openAddress(const std::string& address) {
        (void)address;
        return false;
    }
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    virtual std::size_t bytesAvailable() = 0;
    // Takes one received byte; false when none is waiting.
    virtual bool readByte(std::uint8_t& byte) = 0;
    // Writes and waits until the bytes have left; a failing line closes the port.
    virtual void write(std::span<const std::uint8_t> bytes) = 0;
    // Blocks until a byte is waiting or `timeout` has passed. False on timeout,
    // and at once when the line has failed (the port is then closed).
    virtual bool waitForReadyRead(std::chrono::milliseconds timeout) = 0;

    // Why the last open() failed, in words for the user; empty when unknown.
    virtual std::string openErrorDetail() const { return {}; }
    // The device and the system's error when the line last failed; empty when unknown.
    virtual std::string lineErrorDetail() const { return {}; }
    // Called when the line fails while no exchange waits on it (an adapter pulled
    // between exchanges); the port is closed by then.
    virtual void setIdleFailureListener(std::function<void()> listener) { (void)listener; }
    // The next request goes out only after the far end has thrown away what it
    // still holds for the line (a device server may hold a late answer); a
    // port with nothing between it and the line has nothing to do.
    virtual void purgeBeforeNextRequest() {}
    // Consulted in the adapter's own waits (connecting, negotiating, sending),
    // which then end early; the link hands on its own.
    virtual void setStopRequest(StopRequest stop) { (void)stop; }
    // The device behind a port number.
    virtual std::string deviceName(int portNumber) const;
    // Tool tip of a port-list entry: the device and what the system knows of the adapter.
    virtual std::string describePort(int portNumber) const { return deviceName(portNumber); }
};

inline constexpr int kFirstPort = 1;
inline constexpr int kLastPort = 16;

// Device behind port number n: COMn on Windows; on Linux 1-4 /dev/ttyS0-3,
// 5-12 /dev/ttyUSB0-7, 13-16 /dev/ttyACM0-3. Empty outside 1..16.
std::string portDeviceName(int portNumber);

class Clock {
  public:
    using time_point = std::chrono::steady_clock::time_point;
    using duration = std::chrono::steady_clock::duration;
    virtual ~Clock() = default;
    virtual time_point now() = 0;
};

class SteadyClock final : public Clock {
  public:
    time_point now() override { return std::chrono::steady_clock::now(); }
};

}  // namespace korvel
