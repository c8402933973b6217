#include "loopback_peer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>

namespace korvel::testing {

namespace {
using Steady = std::chrono::steady_clock;
using namespace std::chrono_literals;

int msLeft(Steady::time_point deadline) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Steady::now());
    return static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
}
}  // namespace

bool PeerSide::send(const Bytes& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::send(fd_, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool PeerSide::take(std::chrono::milliseconds wait) {
    if (fd_ < 0) return false;
    pollfd p{fd_, POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(wait.count())) != 1) return true;
    std::uint8_t buffer[4096];
    const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
    if (n <= 0) return false;
    received_.insert(received_.end(), buffer, buffer + n);
    return true;
}

std::size_t PeerSide::awaitSent(const Bytes& pattern, std::size_t from,
                                std::chrono::milliseconds wait) {
    const Steady::time_point deadline = Steady::now() + wait;
    for (;;) {
        if (from <= received_.size()) {
            const auto at = std::search(received_.begin() + static_cast<std::ptrdiff_t>(from),
                                        received_.end(), pattern.begin(), pattern.end());
            if (at != received_.end())
                return static_cast<std::size_t>(at - received_.begin()) + pattern.size();
        }
        if (Steady::now() >= deadline || !take(std::chrono::milliseconds(msLeft(deadline))))
            return 0;
    }
}

bool PeerSide::agree(const Bytes& baud) {
    std::size_t at = awaitSent({255, 251, 44});
    if (at == 0 || !send({255, 253, 44})) return false;
    for (std::uint8_t command = 1; command <= 5; ++command) {
        at = awaitSent({255, 250, 44, command}, at);
        const std::size_t end = awaitSent({255, 240}, at);
        if (at == 0 || end == 0) return false;
        Bytes value(received_.begin() + static_cast<std::ptrdiff_t>(at),
                    received_.begin() + static_cast<std::ptrdiff_t>(end - 2));
        if (command == 1 && !baud.empty()) value = baud;
        value.insert(value.begin(), {255, 250, 44, static_cast<std::uint8_t>(command + 100)});
        value.push_back(255);
        value.push_back(240);
        if (!send(value)) return false;
        at = end;
    }
    return true;
}

void PeerSide::keepSending(const Bytes& chunk, std::chrono::milliseconds pause,
                           std::chrono::milliseconds limit) {
    const Steady::time_point deadline = Steady::now() + limit;
    while (Steady::now() < deadline && send(chunk)) {
        // Reading keeps the client's bytes from filling our window, and notices it going.
        if (!take(pause)) return;
    }
}

void PeerSide::reset() {
    if (fd_ < 0) return;
    const linger abrupt{1, 0};
    ::setsockopt(fd_, SOL_SOCKET, SO_LINGER, &abrupt, sizeof abrupt);
    ::close(fd_);
    fd_ = -1;
}

LoopbackPeer::LoopbackPeer(Script script) {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof a;
    ::bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ::listen(listener_, 1);
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &size);
    port_ = ntohs(a.sin_port);
    thread_ = std::thread([this, script = std::move(script)] {
        pollfd p{listener_, POLLIN, 0};
        if (::poll(&p, 1, 10000) != 1) return;
        const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) return;
        PeerSide side(fd);
        script(side, *this);
        received_ = side.received();
        // Until the client closes, so that it sees what was sent, not a reset.
        const Steady::time_point deadline = Steady::now() + 5s;
        while (Steady::now() < deadline && side.take(100ms)) {
        }
        side.reset();
    });
}

LoopbackPeer::~LoopbackPeer() {
    if (thread_.joinable()) thread_.join();
    ::close(listener_);
}

std::string LoopbackPeer::address(const std::string& scheme) const {
    return scheme + "://127.0.0.1:" + std::to_string(port_);
}

Bytes LoopbackPeer::received() {
    if (thread_.joinable()) thread_.join();
    return received_;
}

}  // namespace korvel::testing
