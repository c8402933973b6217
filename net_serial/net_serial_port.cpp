#include "net_serial/net_serial_port.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

namespace korvel::net {

namespace {

constexpr int kStopCheckMs = static_cast<int>(kStopCheck.count());

// The system's reason a connection was not made, in words for the user.
std::string connectFailure(int error) {
    switch (error) {
        case ETIMEDOUT:
            return "no connection within " + std::to_string(kConnectLimit.count()) + " s";
        case ECANCELED:
            return "stopped";
        case ECONNRESET:
            return "the server reset the connection as it was made";
        default:
            return std::strerror(error);
    }
}

// A wait in whole milliseconds that never undercuts the deadline, so a wait
// cut short by rounding cannot turn into a busy loop.
int msUntil(std::chrono::steady_clock::time_point deadline) {
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
}
}  // namespace

NetSerialPort::NetSerialPort(QObject* parent) : QObject(parent) {
    // The socket's own buffer would otherwise take in whatever the peer sends.
    socket_.setReadBufferSize(static_cast<qint64>(kReadChunk));
    // Between exchanges nobody waits on the socket; the event loop learns of a
    // dropped connection and reports it here, queued, outside QTcpSocket's code.
    connect(&socket_, &QAbstractSocket::errorOccurred, this, &NetSerialPort::onSocketTrouble,
            Qt::QueuedConnection);
}

void NetSerialPort::onSocketTrouble() {
    if (open_ && closeIfLineFailed() && idleFailure_) idleFailure_();
}

// A network port is named by its address, never by a number of the port list.
std::string NetSerialPort::deviceName(int) const {
    return {};
}

std::string NetSerialPort::describePort(int) const {
    return {};
}

bool NetSerialPort::open(int) {
    openError_.clear();
    return false;
}

bool NetSerialPort::openAddress(const std::string& address) {
    openError_.clear();
    if (open_) return false;
    const std::optional<NetAddress> parsed = parseNetAddress(address);
    if (!parsed) {
        openError_ =
            shown(address) + ": not a network port; write tcp://HOST:PORT or rfc2217://HOST:PORT";
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
    openError_ = refused.empty() ? lineError_ : shown(address) + ": " + refused;
    close();
    return false;
}

bool NetSerialPort::connectTo(const NetAddress& address, Steady::time_point deadline) {
    const int fd = connectSocket(address, deadline);
    if (fd < 0) return false;
    // A second handle on the connection outlives the socket's, which closes
    // on a failure: it tells a reset from an orderly close afterwards.
    watch_ = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (!socket_.setSocketDescriptor(fd)) {
        ::close(fd);
        openError_ = shown(address_) + ": " + socket_.errorString().toStdString();
        return false;
    }
    // A request is one short frame: send it at once, not after the next one.
    socket_.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    return true;
}

// Connects without blocking for longer than kStopCheck at a time, so that a
// stop request is heard while an address keeps the attempt waiting. Returns
// the connected socket, or -1 with openError_ set. Looking a name up is the
// system's and may take its own time.
int NetSerialPort::connectSocket(const NetAddress& address, Steady::time_point deadline) {
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const int lookup =
        ::getaddrinfo(address.host.c_str(), std::to_string(address.port).c_str(), &hints, &found);
    if (lookup != 0) {
        openError_ = shown(address_) + ": " +
                     (lookup == EAI_NONAME || lookup == EAI_NODATA ? std::string("host not found")
                                                                   : ::gai_strerror(lookup));
        return -1;
    }
    int error = 0;
    int fd = -1;
    for (const addrinfo* a = found; a && fd < 0 && error != ECANCELED && error != ETIMEDOUT;
         a = a->ai_next) {
        fd = ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0) {
            error = errno;
            continue;
        }
        error = ::connect(fd, a->ai_addr, a->ai_addrlen) == 0 ? 0 : errno;
        while (error == EINPROGRESS) {
            if (stopRequested()) {
                error = ECANCELED;
            } else if (Steady::now() >= deadline) {
                error = ETIMEDOUT;
            } else {
                pollfd p{fd, POLLOUT, 0};
                if (::poll(&p, 1, std::min(msUntil(deadline), kStopCheckMs)) == 1) {
                    socklen_t size = sizeof error;
                    ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size);
                }
            }
        }
        if (error != 0) {
            ::close(fd);
            fd = -1;
        }
    }
    ::freeaddrinfo(found);
    if (fd < 0) openError_ = shown(address_) + ": " + connectFailure(error);
    return fd;
}

// Agrees on COM-PORT-OPTION and sets the line; the reason when that fails,
// empty when the line is set (or was lost: then the port is closed).
std::string NetSerialPort::negotiateComPort(Steady::time_point deadline) {
    client_ = TelnetClient{};
    purgeConfirmed_ = true;
    purgeNext_ = true;
    data_.clear();
    const std::string limit = std::to_string(kConnectLimit.count()) + " s";
    // Why a wait ended without what it waited for: a stop, the time, or a lost line (empty).
    const auto unfinished = [&](const std::string& waitedFor) {
        if (!open_) return std::string{};
        if (stopRequested()) return std::string("stopped");
        return "the server did not " + waitedFor + " within " + limit;
    };
    send(client_.greeting());
    while (client_.comPort() == TelnetClient::ComPort::Pending) {
        if (!takeIn(deadline))
            return unfinished("answer the COM-PORT-OPTION (RFC 2217) request") +
                   (open_ && !stopRequested() ? "; is it set up for raw TCP (tcp://)?" : "");
    }
    if (client_.comPort() == TelnetClient::ComPort::Refused)
        return "the server refuses the COM-PORT-OPTION (RFC 2217) that sets the line; "
               "is it set up for plain telnet?";
    for (const LineSetting& s : lineSettings()) {
        // Only a confirmation that follows the request counts: one sent
        // before it was asked for says nothing about what the server did.
        client_.forgetReply(s.command);
        send(comPortCommand(s.command, s.value));
        while (!client_.serverReply(s.command)) {
            if (!takeIn(deadline)) return unfinished(std::string("confirm the ") + s.name);
        }
        if (*client_.serverReply(s.command) != s.value)
            return std::string("the server did not set the ") + s.name +
                   " the line needs (19200 baud, 8N1, no flow control)";
    }
    if (!client_.binary())
        return "the server refuses to pass bytes unchanged (telnet BINARY) both ways";
    return {};
}

void NetSerialPort::close() {
    if (watch_ >= 0) ::close(watch_);
    watch_ = -1;
    if (!open_ && socket_.state() == QAbstractSocket::UnconnectedState) return;
    open_ = false;
    socket_.abort();
    data_.clear();
}

bool NetSerialPort::closeIfLineFailed() {
    if (socket_.state() == QAbstractSocket::ConnectedState) return false;
    // The socket reports a reset as a close; the connection's state tells them
    // apart: a close leaves it waiting for our end, a reset leaves nothing.
    tcp_info info{};
    socklen_t size = sizeof info;
    const bool reset = socket_.error() == QAbstractSocket::RemoteHostClosedError && watch_ >= 0 &&
                       ::getsockopt(watch_, IPPROTO_TCP, TCP_INFO, &info, &size) == 0 &&
                       info.tcpi_state == TCP_CLOSE;
    lineError_ = shown(address_) + ": " +
                 (reset ? std::string("the server reset the connection")
                        : socket_.errorString().toStdString());
    close();
    return true;
}

// Takes in at most kReadChunk bytes. A server that breaks the telnet protocol
// loses its line: nothing it says can be trusted any more.
void NetSerialPort::takeAvailable() {
    std::array<char, kReadChunk> chunk;
    const qint64 n = socket_.read(chunk.data(), static_cast<qint64>(chunk.size()));
    if (n <= 0) return;
    const std::span<const std::uint8_t> received(
        reinterpret_cast<const std::uint8_t*>(chunk.data()), static_cast<std::size_t>(n));
    if (!telnet_) {
        data_.insert(data_.end(), received.begin(), received.end());
        return;
    }
    std::vector<std::uint8_t> reply;
    client_.receive(received, data_, reply);
    if (client_.broken()) {
        lineError_ = shown(address_) + ": the server sent a telnet subnegotiation longer than " +
                     std::to_string(kMaxSubnegotiation) + " bytes";
        close();
        return;
    }
    if (!reply.empty()) send(reply);
}

// Waits at most kStopCheck in the system, then takes in what came. The clock
// and the stop request are asked on every pass, so a peer that never stops
// sending (commands only, or data nobody asked for) cannot outlast either.
// True when the wait may go on; false at the deadline, on a stop, or a lost line.
bool NetSerialPort::takeIn(Steady::time_point deadline) {
    if (!open_ || stopRequested() || Steady::now() >= deadline) return false;
    if (socket_.bytesAvailable() == 0 &&
        !socket_.waitForReadyRead(std::min(msUntil(deadline), kStopCheckMs))) {
        return !closeIfLineFailed();
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
    if (telnet_ && purgeNext_) purge();
    purgeNext_ = false;
    if (telnet_)
        send(escapeIac(bytes));
    else
        send(bytes);
}

// The server may flush its line after it has passed on what follows the
// command, so the request waits for the confirmation; what arrives before it
// left the line before the purge and is thrown away as it comes, never kept.
// A server that never confirms is not waited for again.
void NetSerialPort::purge() {
    client_.forgetReply(kPurgeData);
    send(comPortCommand(kPurgeData, std::vector<std::uint8_t>{kPurgeBoth}));
    data_.clear();
    if (!purgeConfirmed_) return;
    const Steady::time_point deadline = Steady::now() + kReplyTimeout;
    while (!client_.serverReply(kPurgeData)) {
        const bool more = takeIn(deadline);
        data_.clear();
        if (!more) {
            purgeConfirmed_ = !open_ || stopRequested();
            return;
        }
    }
}

// A peer that stops reading cannot hold the program: the wait for the bytes
// to leave ends at a second, or at a stop request, and then the line is lost.
void NetSerialPort::send(std::span<const std::uint8_t> bytes) {
    socket_.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    const Steady::time_point deadline = Steady::now() + std::chrono::seconds(1);
    while (open_ && socket_.bytesToWrite() > 0) {
        if (stopRequested()) return;
        if (!socket_.waitForBytesWritten(std::min(msUntil(deadline), kStopCheckMs)) &&
            !closeIfLineFailed() && Steady::now() >= deadline) {
            lineError_ = shown(address_) + ": the server takes no more data";
            close();
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
    active_ = &local_;
    return local_.open(portNumber);
}

bool RoutedPort::open(const PortSpec& port) {
    if (port.kind == PortSpec::Kind::Network) return openAddress(port.name);
    if (port.kind == PortSpec::Kind::Number) return open(port.number);
    close();
    active_ = &local_;
    return local_.open(port);
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

void RoutedPort::setStopRequest(StopRequest stop) {
    local_.setStopRequest(stop);
    network_.setStopRequest(std::move(stop));
}

std::string RoutedPort::deviceName(int portNumber) const {
    return local_.deviceName(portNumber);
}

std::string RoutedPort::describePort(int portNumber) const {
    return local_.describePort(portNumber);
}

}  // namespace korvel::net
