// Network port addresses; the telnet side of RFC 2217 is checked byte for byte
// on the wire (rfc2217_wire_test.cpp) and against ser2net.
#include <gtest/gtest.h>

#include "net_serial/net_address.h"

namespace korvel::net {
namespace {

TEST(NetAddress, ParsesBothSchemesAndRefusesTheRest) {
    const struct {
        const char* text;
        bool valid;
        Scheme scheme;
        const char* host;
        int port;
    } cases[] = {
        {"tcp://10.0.0.7:4001", true, Scheme::Tcp, "10.0.0.7", 4001},
        {"rfc2217://cabinet.local:2217", true, Scheme::Rfc2217, "cabinet.local", 2217},
        {"tcp://[::1]:65535", true, Scheme::Tcp, "::1", 65535},
        {"tcp://host:0", false, {}, "", 0},
        {"tcp://host:65536", false, {}, "", 0},
        {"tcp://host:12x", false, {}, "", 0},
        {"tcp://:4001", false, {}, "", 0},
        {"tcp://host", false, {}, "", 0},
        {"tcp://::1:4001", false, {}, "", 0},
        {"telnet://host:23", false, {}, "", 0},
        {"/dev/ttyUSB0", false, {}, "", 0},
    };
    for (const auto& c : cases) {
        const std::optional<NetAddress> a = parseNetAddress(c.text);
        ASSERT_EQ(a.has_value(), c.valid) << c.text;
        if (!a) continue;
        EXPECT_EQ(a->scheme, c.scheme) << c.text;
        EXPECT_EQ(a->host, c.host) << c.text;
        EXPECT_EQ(a->port, c.port) << c.text;
    }
}

}  // namespace
}  // namespace korvel::net
