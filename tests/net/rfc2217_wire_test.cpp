// The bytes an RFC 2217 client puts on the wire, against a scripted server on
// loopback: what ser2net accepts silently is spelled out here byte for byte.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <thread>

#include "net_serial/net_serial_port.h"

namespace korvel::net {
namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace std::chrono_literals;

void sendAll(int fd, const Bytes& bytes) {
    ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
}

// Agrees to COM-PORT-OPTION and confirms 19200 baud, 8N1, no flow control.
const Bytes kAgreeing{255, 253, 44,                                  // DO COM-PORT-OPTION
                      255, 250, 44, 101, 0, 0,   0x4B, 0, 255, 240,  // baud 19200
                      255, 250, 44, 102, 8, 255, 240,                // 8 data bits
                      255, 250, 44, 103, 1, 255, 240,                // no parity
                      255, 250, 44, 104, 1, 255, 240,                // 1 stop bit
                      255, 250, 44, 105, 1, 255, 240};               // no flow control

// Listens on a free loopback port and, for one client, agrees to
// COM-PORT-OPTION and confirms the line settings at once; then waits for
// `expected` from the client, answers `answer` and keeps what it received.
class ScriptedServer {
  public:
    ScriptedServer(Bytes expected, Bytes answer, Bytes hello = kAgreeing)
        : expected_(std::move(expected)), answer_(std::move(answer)), hello_(std::move(hello)) {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof a;
        ::bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        ::listen(listener_, 1);
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &size);
        port_ = ntohs(a.sin_port);
        thread_ = std::thread([this] { serve(); });
    }
    ~ScriptedServer() {
        if (thread_.joinable()) thread_.join();
        ::close(listener_);
    }
    std::string address() const { return "rfc2217://127.0.0.1:" + std::to_string(port_); }
    // Everything the client sent, once the script has run.
    Bytes received() {
        if (thread_.joinable()) thread_.join();
        return received_;
    }
    // Whether the client sent on before the server confirmed its purge.
    bool requestedEarly() {
        if (thread_.joinable()) thread_.join();
        return requestedEarly_;
    }

  private:
    void serve() {
        pollfd p{listener_, POLLIN, 0};
        if (::poll(&p, 1, 5000) != 1) return;
        const int fd = ::accept(listener_, nullptr, nullptr);
        sendAll(fd, hello_);
        const Bytes purged{255, 250, 44, 112, 3, 255, 240};
        bool purgeConfirmed = false;
        pollfd c{fd, POLLIN, 0};
        while (
            !std::equal(expected_.begin(), expected_.end(), received_.begin(), received_.end()) &&
            ::poll(&c, 1, 5000) == 1) {
            std::uint8_t buffer[256];
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n <= 0) break;
            received_.insert(received_.end(), buffer, buffer + n);
            const Bytes purge{255, 250, 44, 12, 3, 255, 240};
            if (!purgeConfirmed && std::search(received_.begin(), received_.end(), purge.begin(),
                                               purge.end()) != received_.end()) {
                // The request must wait for the confirmation: nothing may follow
                // the purge before it. Only an absence, so only a bounded look.
                pollfd early{fd, POLLIN, 0};
                const bool last = std::equal(purge.rbegin(), purge.rend(), received_.rbegin());
                requestedEarly_ = !last || ::poll(&early, 1, 200) == 1;
                sendAll(fd, purged);
                purgeConfirmed = true;
            }
        }
        sendAll(fd, answer_);
        ::shutdown(fd, SHUT_WR);
        ::poll(&c, 1, 5000);  // until the client closes
        ::close(fd);
    }

    Bytes expected_;
    Bytes answer_;
    Bytes hello_;
    Bytes received_;
    bool requestedEarly_ = false;
    int listener_ = -1;
    int port_ = 0;
    std::thread thread_;
};

TEST(Rfc2217Wire, NegotiatesSetsTheLinePurgesBeforeEachRequestAndEscapesIac) {
    const Bytes expected{255,  251, 0,   255, 253, 0,   255,  251, 3,   255,
                         253,  3,   255, 251, 44,                             // greeting
                         255,  250, 44,  1,   0,   0,   0x4B, 0,   255, 240,  // 19200 baud
                         255,  250, 44,  2,   8,   255, 240,                  // 8 data bits
                         255,  250, 44,  3,   1,   255, 240,                  // no parity
                         255,  250, 44,  4,   1,   255, 240,                  // 1 stop bit
                         255,  250, 44,  5,   1,   255, 240,                  // no flow control
                         255,  250, 44,  12,  3,   255, 240,                  // purge both
                         0x8A, 255, 255, 0x75};                               // the request
    ScriptedServer server(expected, {0x88, 255, 255, 0x77});
    NetSerialPort port;
    ASSERT_TRUE(port.openAddress(server.address())) << port.openErrorDetail();
    port.write(Bytes{0x8A, 255, 0x75});
    Bytes answer;
    std::uint8_t b = 0;
    while (answer.size() < 3 && port.waitForReadyRead(2000ms))
        while (port.readByte(b)) answer.push_back(b);
    EXPECT_EQ(answer, (Bytes{0x88, 255, 0x77}));
    port.close();
    EXPECT_EQ(server.received(), expected);
    EXPECT_FALSE(server.requestedEarly());
}

// A server that sets the line otherwise than asked is refused, with the setting.
TEST(Rfc2217Wire, AServerThatSetsAnotherLineIsAnOpenFailure) {
    Bytes otherBaud = kAgreeing;
    otherBaud[9] = 0x25;  // 9600 baud
    otherBaud[10] = 0x80;
    ScriptedServer server({}, {}, otherBaud);
    NetSerialPort port;
    EXPECT_FALSE(port.openAddress(server.address()));
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.openErrorDetail(),
              server.address() +
                  ": the server did not set the baud rate the line needs (19200 baud, 8N1, no "
                  "flow control)");
}

}  // namespace
}  // namespace korvel::net
