#include "net_serial/net_serial_port.h"

#include <algorithm>

namespace korvel::net {

namespace {
// A wait in whole milliseconds that never undercuts the deadline, so a wait
// cut short by rounding cannot turn into a busy loop.
int msUntil(std::chrono::steady_clock::time_point deadline) {
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
}
}  // namespace

NetSerialPort::NetSerialPort(QObject* parent) : QObject(parent) {
    // Between exchanges nobody waits on the socket; the event loop learns of a
    // dropped connection and reports it here, queued, outside QTcpSocket's code.
    connect(&socket_, &QAbstractSocket::errorOccurred, this, &NetSerialPort::onSocketTrouble,
            Qt::QueuedConnection);
}

void NetSerialPort::onSocketTrouble() {
    if (open_ && closeIfLineFailed() && idleFailure_) idleFailure_();
}

void NetSerialPort::overrideAddress(int portNumber, std::string address) {
    addresses_[portNumber] = std::move(address);
}

std::string NetSerialPort::deviceName(int portNumber) const {
    auto it = addresses_.find(portNumber);
    return it == addresses_.end() ? std::string{} : it->second;
}

std::string NetSerialPort::describePort(int portNumber) const {
    return describeNetAddress(deviceName(portNumber));
}

bool NetSerialPort::open(int portNumber) {
    if (!routes(portNumber)) {
        openError_.clear();
        return false;
    }
    return openAddress(addresses_.at(portNumber));
}

bool NetSerialPort::openAddress(const std::string& address) {
    openError_.clear();
    if (open_) return false;
    const std::optional<NetAddress> parsed = parseNetAddress(address);
    if (!parsed) {
        openError_ = address + ": not a network port; write tcp://HOST:PORT or rfc2217://HOST:PORT";
        return false;
    }
    address_ = address;
    const Steady::time_point deadline = Steady::now() + kConnectLimit;
    if (!connectTo(*parsed, deadline)) return false;
    open_ = true;
    telnet_ = parsed->scheme == Scheme::Rfc2217;
    if (!telnet_) return true;
    const std::string refused = negotiateComPort(deadline);
    if (refused.empty() && open_) return true;
    openError_ = refused.empty() ? lineError_ : address + ": " + refused;
    close();
    return false;
}

bool NetSerialPort::connectTo(const NetAddress& address, Steady::time_point deadline) {
    socket_.connectToHost(QString::fromStdString(address.host), address.port);
    if (socket_.waitForConnected(msUntil(deadline))) {
        // A request is one short frame: send it at once, not after the next one.
        socket_.setSocketOption(QAbstractSocket::LowDelayOption, 1);
        return true;
    }
    openError_ = address_ + ": " +
                 (socket_.error() == QAbstractSocket::SocketTimeoutError
                      ? "no connection within " + std::to_string(kConnectLimit.count()) + " s"
                      : socket_.errorString().toStdString());
    socket_.abort();
    return false;
}

// Agrees on COM-PORT-OPTION and sets the line; the reason when that fails,
// empty when the line is set (or was lost: then the port is closed).
std::string NetSerialPort::negotiateComPort(Steady::time_point deadline) {
    client_ = TelnetClient{};
    purgeConfirmed_ = true;
    data_.clear();
    send(client_.greeting());
    while (client_.comPort() == TelnetClient::ComPort::Pending) {
        if (!takeIn(deadline))
            return open_ ? "the server did not answer the COM-PORT-OPTION (RFC 2217) request "
                           "within 5 s; is it set up for raw TCP (tcp://)?"
                         : std::string{};
    }
    if (client_.comPort() == TelnetClient::ComPort::Refused)
        return "the server refuses the COM-PORT-OPTION (RFC 2217) that sets the line; "
               "is it set up for plain telnet?";
    std::vector<std::uint8_t> settings;
    for (const LineSetting& s : lineSettings()) {
        const std::vector<std::uint8_t> command = comPortCommand(s.command, s.value);
        settings.insert(settings.end(), command.begin(), command.end());
    }
    send(settings);
    for (const LineSetting& s : lineSettings()) {
        while (!client_.serverReply(s.command)) {
            if (!takeIn(deadline))
                return open_
                           ? std::string("the server did not confirm the ") + s.name + " within 5 s"
                           : std::string{};
        }
        if (*client_.serverReply(s.command) != s.value)
            return std::string("the server did not set the ") + s.name +
                   " the line needs (19200 baud, 8N1, no flow control)";
    }
    return {};
}

void NetSerialPort::close() {
    if (!open_ && socket_.state() == QAbstractSocket::UnconnectedState) return;
    open_ = false;
    socket_.abort();
    data_.clear();
}

bool NetSerialPort::closeIfLineFailed() {
    if (socket_.state() == QAbstractSocket::ConnectedState) return false;
    lineError_ = address_ + ": " + socket_.errorString().toStdString();
    close();
    return true;
}

void NetSerialPort::takeAvailable() {
    const QByteArray in = socket_.readAll();
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(in.constData());
    const std::span<const std::uint8_t> received(bytes, static_cast<std::size_t>(in.size()));
    if (!telnet_) {
        data_.insert(data_.end(), received.begin(), received.end());
        return;
    }
    std::vector<std::uint8_t> reply;
    client_.receive(received, data_, reply);
    if (!reply.empty()) send(reply);
}

bool NetSerialPort::takeIn(Steady::time_point deadline) {
    if (!open_) return false;
    if (socket_.bytesAvailable() == 0 && !socket_.waitForReadyRead(msUntil(deadline))) {
        closeIfLineFailed();
        return false;
    }
    takeAvailable();
    return open_;
}

std::size_t NetSerialPort::bytesAvailable() {
    if (!open_) return 0;
    // Without an event loop the socket only learns of new bytes while waiting.
    if (data_.empty()) {
        if (socket_.bytesAvailable() == 0 && !socket_.waitForReadyRead(0)) closeIfLineFailed();
        if (open_) takeAvailable();
    }
    return open_ ? data_.size() : 0;
}

bool NetSerialPort::readByte(std::uint8_t& byte) {
    if (!open_ || data_.empty()) return false;
    byte = data_.front();
    data_.pop_front();
    return true;
}

void NetSerialPort::write(std::span<const std::uint8_t> bytes) {
    if (!open_) return;
    if (telnet_) purge();
    if (telnet_)
        send(escapeIac(bytes));
    else
        send(bytes);
}

// The server may flush its line after it has passed on what follows the
// command, so the request waits for the confirmation; what arrived before it
// left the line before the purge. A server that never confirms is not waited for again.
void NetSerialPort::purge() {
    client_.forgetReply(kPurgeData);
    send(comPortCommand(kPurgeData, std::vector<std::uint8_t>{kPurgeBoth}));
    if (!purgeConfirmed_) return;
    const Steady::time_point deadline = Steady::now() + kReplyTimeout;
    while (!client_.serverReply(kPurgeData)) {
        if (!takeIn(deadline)) {
            purgeConfirmed_ = false;
            return;
        }
    }
    data_.clear();
}

void NetSerialPort::send(std::span<const std::uint8_t> bytes) {
    socket_.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    while (open_ && socket_.bytesToWrite() > 0) {
        if (!socket_.waitForBytesWritten(1000)) {
            closeIfLineFailed();
            break;
        }
    }
}

bool NetSerialPort::waitForReadyRead(std::chrono::milliseconds timeout) {
    if (!open_) return false;
    const Steady::time_point deadline = Steady::now() + timeout;
    // Telnet commands alone are no data: wait on until data or the deadline.
    while (data_.empty()) {
        if (!takeIn(deadline)) return false;
    }
    return true;
}

RoutedPort::RoutedPort(SerialPort& local, NetSerialPort& network)
    : local_(local), network_(network), active_(&local) {}

bool RoutedPort::open(int portNumber) {
    close();
    active_ = network_.routes(portNumber) ? static_cast<SerialPort*>(&network_) : &local_;
    return active_->open(portNumber);
}

bool RoutedPort::openAddress(const std::string& address) {
    close();
    active_ = &network_;
    return network_.openAddress(address);
}

void RoutedPort::close() {
    local_.close();
    network_.close();
}

void RoutedPort::setIdleFailureListener(std::function<void()> listener) {
    local_.setIdleFailureListener(listener);
    network_.setIdleFailureListener(std::move(listener));
}

std::string RoutedPort::deviceName(int portNumber) const {
    return network_.routes(portNumber) ? network_.deviceName(portNumber)
                                       : local_.deviceName(portNumber);
}

std::string RoutedPort::describePort(int portNumber) const {
    return network_.routes(portNumber) ? network_.describePort(portNumber)
                                       : local_.describePort(portNumber);
}


}  // namespace korvel::net
