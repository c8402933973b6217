// Network port addresses; the telnet side of RFC 2217 is checked byte for byte
// on the wire (rfc2217_wire_test.cpp) and against ser2net.
#include "net_serial/net_address.h"

#include <gtest/gtest.h>

namespace korvel::net {
namespace {

TEST(NetAddress, ParsesBothSchemesAndRefusesTheRest) {
    const std::tuple<const char*, Scheme, const char*, int> valid[] = {
        {"tcp://10.0.0.7:4001", Scheme::Tcp, "10.0.0.7", 4001},
        {"rfc2217://cabinet.local:2217", Scheme::Rfc2217, "cabinet.local", 2217},
        {"tcp://[::1]:65535", Scheme::Tcp, "::1", 65535},
        {"tcp://127.0.0.1:23", Scheme::Tcp, "127.0.0.1", 23},
        {"tcp://4u.example:23", Scheme::Tcp, "4u.example", 23},
    };
    for (const auto& [text, scheme, host, port] : valid) {
        const std::optional<NetAddress> a = parseNetAddress(text);
        ASSERT_TRUE(a) << text;
        EXPECT_EQ(std::tuple(a->scheme, a->host, a->port), std::tuple(scheme, host, port)) << text;
    }
    // 0177.0.0.1 would be octal to the resolver; the other IPv4 spellings as odd.
    for (const char* text :
         {"tcp://host:0", "tcp://host:65536", "tcp://host:12x", "tcp://:4001", "tcp://host",
          "tcp://::1:4001", "telnet://host:23", "tcp://0177.0.0.1:23", "tcp://127.1:23",
          "tcp://2130706433:23", "tcp://0x7f.1:23", "tcp://127.0.0.256:23", "tcp://1.2.3.4.5:23",
          "tcp://host :23", "tcp://ho\tst:23", "tcp://[::1 ]:23", "/dev/ttyUSB0"})
        EXPECT_FALSE(parseNetAddress(text)) << text;
}

// A name longer than any the system resolves is refused, and a message
// repeats no more than a line's worth of it.
TEST(NetAddress, ALongNameIsRefusedAndShownShortened) {
    const std::string longName = "tcp://" + std::string(100000, 'a') + ":23";
    EXPECT_FALSE(parseNetAddress(longName));
    EXPECT_TRUE(parseNetAddress("tcp://" + std::string(253, 'a') + ":23"));
    EXPECT_FALSE(parseNetAddress("tcp://" + std::string(254, 'a') + ":23"));
    EXPECT_EQ(shown(longName), longName.substr(0, 77) + "...");
    EXPECT_EQ(shown(longName.substr(0, 80)), longName.substr(0, 80));
}

}  // namespace
}  // namespace korvel::net
