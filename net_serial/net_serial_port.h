#pragma once

#include <QTcpSocket>
#include <chrono>
#include <deque>
#include <map>

#include "link/link.h"
#include "link/receiver.h"
#include "link/serial_port.h"
#include "net_serial/net_address.h"
#include "net_serial/telnet.h"

namespace korvel::net {

// How long connecting may take, the COM-PORT-OPTION negotiation included.
inline constexpr std::chrono::seconds kConnectLimit{5};
// The most taken from the socket at once: what the port holds is bounded by
// this, however fast the peer sends.
inline constexpr std::size_t kReadChunk = 4096;

// A serial line behind a device server, reached as tcp://HOST:PORT (raw) or
// rfc2217://HOST:PORT (telnet with COM-PORT-OPTION). QTcpSocket used without
// an event loop, as the serial adapter uses QSerialPort: every wait blocks in
// the system. Only ever connects; never listens.
class NetSerialPort final : public QObject, public SerialPort {
    Q_OBJECT
  public:
    explicit NetSerialPort(QObject* parent = nullptr);

    // Connects to a tcp:// or rfc2217:// address; false with openErrorDetail() when it cannot.
    bool openAddress(const std::string& address);

    using SerialPort::open;
    bool open(int portNumber) override;
    void close() override;
    bool isOpen() const override { return open_; }
    std::size_t bytesAvailable() override;
    bool readByte(std::uint8_t& byte) override;
    // With RFC 2217 a request asked to (after opening, and after an answer
    // that was lost or set aside) is preceded by PURGE-DATA for both of the
    // server's buffers: the link drains its input just before it writes, so
    // whatever the server still holds from the line belongs to that drain.
    // IAC in the request is doubled.
    void write(std::span<const std::uint8_t> bytes) override;
    void purgeBeforeNextRequest() override { purgeNext_ = true; }
    bool waitForReadyRead(std::chrono::milliseconds timeout) override;
    std::string openErrorDetail() const override { return openError_; }
    std::string lineErrorDetail() const override { return lineError_; }
    void setIdleFailureListener(std::function<void()> listener) override {
        idleFailure_ = std::move(listener);
    }
    void setStopRequest(StopRequest stop) override { stop_ = std::move(stop); }
    std::string deviceName(int portNumber) const override;
    std::string describePort(int portNumber) const override;

    // The received data the port holds and has not handed out yet.
    std::size_t held() const { return data_.size(); }

  private:
    using Steady = std::chrono::steady_clock;

    bool stopRequested() const { return stop_ && stop_(); }
    bool connectTo(const NetAddress& address, Steady::time_point deadline);
    int connectSocket(const NetAddress& address, Steady::time_point deadline);
    std::string negotiateComPort(Steady::time_point deadline);
    // Waits in the system until the socket has bytes or `deadline` passes, then
    // takes them in; false on timeout or a failed line.
    bool takeIn(Steady::time_point deadline);
    void takeAvailable();
    void send(std::span<const std::uint8_t> bytes);
    void purge();
    bool closeIfLineFailed();
    void onSocketTrouble();

    QTcpSocket socket_;
    int watch_ = -1;
    std::string address_;
    bool telnet_ = false;
    bool open_ = false;
    bool purgeConfirmed_ = true;
    bool purgeNext_ = true;
    TelnetClient client_;
    std::deque<std::uint8_t> data_;
    std::string openError_;
    std::string lineError_;
    std::function<void()> idleFailure_;
    StopRequest stop_;
};

// The program's port: numbers go to the local serial adapter, network
// addresses to NetSerialPort; whichever was opened last serves the link.
class RoutedPort final : public SerialPort {
  public:
    RoutedPort(SerialPort& local, NetSerialPort& network);

    bool openAddress(const std::string& address) override;

    bool open(int portNumber) override;
    // An address goes to the network adapter, a number or a device to the local one.
    bool open(const PortSpec& port) override;
    void close() override;
    bool isOpen() const override { return active_->isOpen(); }
    std::size_t bytesAvailable() override { return active_->bytesAvailable(); }
    bool readByte(std::uint8_t& byte) override { return active_->readByte(byte); }
    void write(std::span<const std::uint8_t> bytes) override { active_->write(bytes); }
    bool waitForReadyRead(std::chrono::milliseconds timeout) override {
        return active_->waitForReadyRead(timeout);
    }
    std::string openErrorDetail() const override { return active_->openErrorDetail(); }
    std::string lineErrorDetail() const override { return active_->lineErrorDetail(); }
    void setIdleFailureListener(std::function<void()> listener) override;
    void setStopRequest(StopRequest stop) override;
    std::string deviceName(int portNumber) const override;
    std::string describePort(int portNumber) const override;

  private:
    SerialPort& local_;
    NetSerialPort& network_;
    SerialPort* active_;
};

}  // namespace korvel::net
