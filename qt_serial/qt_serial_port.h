#pragma once

#include <QSerialPort>
#include <map>

#include "link/serial_port.h"

namespace korvel {

// What to tell a user who may not open `device`: the group that owns it, to join.
// Why a port that reported a permission error cannot be opened: held by
// another process (named from its lock file, or from its open files), or not
// open to this user (with the group to join).
std::string busyPortAdvice(const std::string& device);
std::string permissionAdvice(const std::string& device);

// The driver calls for serial settings, as ioctl(2) takes them; a seam for tests.
using SerialIoctl = int (*)(int fd, unsigned long request, void* argument);

// Asks the driver of an open serial line for low latency, so an adapter passes
// on a short answer at once instead of holding it for its latency timer.
// False when the line or its driver refuses (a pseudo-terminal does); the line
// is then used as it is.
bool requestLowLatency(int fd, SerialIoctl call);

// The serial line of the program: QSerialPort used without an event loop.
// A line that fails is closed at once, so a dead device can neither spin the
// event loop nor answer later.
class QtSerialPort final : public QObject, public SerialPort {
    Q_OBJECT
  public:
    explicit QtSerialPort(QObject* parent = nullptr);

    // Serves a port number from another device (the demo's simulated line).
    void overrideDevice(int portNumber, std::string device);
    // Replaces the driver calls made when a port opens (tests watch them).
    void setDriverCall(SerialIoctl call) { driverCall_ = call; }

    bool open(int portNumber) override;
    // A device path opens that device; the rest as every port does.
    bool open(const PortSpec& port) override;
    void close() override;
    bool isOpen() const override { return port_.isOpen(); }
    std::size_t bytesAvailable() override;
    bool readByte(std::uint8_t& byte) override;
    void write(std::span<const std::uint8_t> bytes) override;
    bool waitForReadyRead(std::chrono::milliseconds timeout) override;
    std::string openErrorDetail() const override { return openError_; }
    std::string lineErrorDetail() const override { return lineError_; }
    void setIdleFailureListener(std::function<void()> listener) override {
        idleFailure_ = std::move(listener);
    }
    void setStopRequest(StopRequest stop) override { stop_ = std::move(stop); }
    std::string deviceName(int portNumber) const override;
    std::string describePort(int portNumber) const override;

  private:
    bool openDevice(const std::string& device);
    // Closes a line that failed and notes why; true when it did.
    bool closeIfLineFailed();
    void onErrorOccurred();

    QSerialPort port_;
    std::map<int, std::string> overrides_;
    std::string openError_;
    std::string device_;
    std::string lineError_;
    std::function<void()> idleFailure_;
    SerialIoctl driverCall_;
    StopRequest stop_;
};

}  // namespace korvel
