// The bytes an RFC 2217 client puts on the wire, against a scripted server on
// loopback: what ser2net accepts silently is spelled out here byte for byte.

#include <algorithm>
#include <utility>

#include "net_serial/net_serial_port.h"
#include "tests/net/loopback_peer.h"
#include "tests/support/recorders.h"

namespace korvel::net {
namespace {

using testing::Bytes;
using testing::LoopbackPeer;
using testing::PeerSide;
using namespace std::chrono_literals;

const Bytes kPurge{255, 250, 44, 12, 3, 255, 240};

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
    bool requestedEarly = true;
    // The server offers BINARY both ways first, as a strict one does: a client
    // that refused either would answer it, and the bytes would differ.
    LoopbackPeer server([&](PeerSide& side, LoopbackPeer&) {
        if (!side.send({255, 251, 0, 255, 253, 0}) || !side.agree()) return;
        const std::size_t at = side.awaitSent(kPurge);
        // The request must wait for the confirmation: nothing may follow the
        // purge before it. Only an absence, so only a bounded look.
        const std::size_t before = side.received().size();
        side.take(200ms);
        requestedEarly = at != before || side.received().size() != before;
        side.send({255, 250, 44, 112, 3, 255, 240});
        if (side.awaitSent({0x75}, at) != 0) side.send({0x88, 255, 255, 0x77});
    });
    NetSerialPort port;
    ASSERT_TRUE(port.openAddress(server.address("rfc2217"))) << port.openErrorDetail();
    port.write(Bytes{0x8A, 255, 0x75});
    Bytes answer;
    std::uint8_t b = 0;
    while (answer.size() < 3 && port.waitForReadyRead(2000ms))
        while (port.readByte(b)) answer.push_back(b);
    EXPECT_EQ(answer, (Bytes{0x88, 255, 0x77}));
    port.close();
    EXPECT_EQ(server.received(), expected);
    EXPECT_FALSE(requestedEarly);
}

// The server purges its buffers before the first request, and again only
// before a request that follows a lost answer, which may still be on its way.
TEST(Rfc2217Wire, APurgeGoesBeforeTheFirstRequestAndAfterALostAnswerOnly) {
    std::vector<int> purgesBefore;
    LoopbackPeer server([&](PeerSide& side, LoopbackPeer&) {
        if (!side.agree()) return;
        std::size_t at = side.received().size();
        int purges = 0;
        while (purgesBefore.size() < 3 && side.take(3s)) {
            const Bytes& in = side.received();
            while (at < in.size()) {
                if (in[at] == 255 && at + 7 <= in.size() &&
                    std::equal(kPurge.begin(), kPurge.end(), in.begin() + static_cast<long>(at))) {
                    side.send({255, 250, 44, 112, 3, 255, 240});
                    ++purges;
                    at += kPurge.size();
                } else if (in[at] < 128 && at + 2 <= in.size()) {
                    purgesBefore.push_back(std::exchange(purges, 0));
                    if (purgesBefore.size() != 2) side.send({0x08, 0xF8});
                    at += 2;
                } else {
                    break;
                }
            }
        }
    });
    NetSerialPort port;
    SteadyClock clock;
    testing::LinkRig<> rig{port, clock};
    ASSERT_TRUE(port.openAddress(server.address("rfc2217"))) << port.openErrorDetail();
    EXPECT_TRUE(rig.link.Transact(Frame{}));
    EXPECT_FALSE(rig.link.Transact(Frame{}));
    EXPECT_TRUE(rig.link.Transact(Frame{}));
    port.close();
    server.received();
    EXPECT_EQ(purgesBefore, (std::vector<int>{1, 0, 1}));
}

}  // namespace
}  // namespace korvel::net
