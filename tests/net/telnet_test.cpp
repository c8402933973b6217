// The telnet side of RFC 2217 without a socket: escaping, splitting data from
// commands, answering the server's option requests.
#include "net_serial/telnet.h"

#include <gtest/gtest.h>

#include "net_serial/net_address.h"

namespace korvel::net {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(Telnet, EscapesIacInDataAndInCommandValues) {
    EXPECT_EQ(escapeIac(Bytes{1, 255, 2, 255, 255}), (Bytes{1, 255, 255, 2, 255, 255, 255, 255}));
    EXPECT_EQ(comPortCommand(kSetBaudRate, Bytes{0, 0, 0x4B, 0}),
              (Bytes{255, 250, 44, 1, 0, 0, 0x4B, 0, 255, 240}));
    EXPECT_EQ(comPortCommand(kPurgeData, Bytes{255}),
              (Bytes{255, 250, 44, 12, 255, 255, 255, 240}));
}

// One case per kind of input: what reaches the data, what the client answers.
TEST(Telnet, SplitsDataFromCommandsAndAnswersOnlyChanges) {
    const struct {
        Bytes in;
        Bytes data;
        Bytes reply;
    } cases[] = {
        {{0x88, 255, 255, 0x7F}, {0x88, 255, 0x7F}, {}},
        {{1, 255, 241, 2}, {1, 2}, {}},        // NOP
        {{255, 253, 0, 255, 251, 3}, {}, {}},  // agrees to what it asked for
        {{255, 253, 1, 255, 251, 1}, {}, {255, 252, 1, 255, 254, 1}},  // no echo either way
        {{255, 254, 0}, {}, {255, 252, 0}},    // binary withdrawn: acknowledged
        {{255, 254, 24}, {}, {}},              // off already: no answer
        {{255, 251, 44}, {}, {255, 254, 44}},  // the option is the client's
        {{9, 255, 250, 44, 102, 8, 255, 240, 10}, {9, 10}, {}},
        {{255, 250, 44, 101, 0, 0, 255, 255, 255, 240}, {}, {}},
    };
    for (const auto& c : cases) {
        TelnetClient client;
        client.greeting();
        std::deque<std::uint8_t> data;
        Bytes reply;
        // Fed byte by byte: a command split across two reads is still one command.
        for (std::uint8_t b : c.in) client.receive(Bytes{b}, data, reply);
        EXPECT_EQ(Bytes(data.begin(), data.end()), c.data) << ::testing::PrintToString(c.in);
        EXPECT_EQ(reply, c.reply) << ::testing::PrintToString(c.in);
    }
}

TEST(Telnet, KeepsTheServersComPortAnswers) {
    const struct {
        Bytes in;
        TelnetClient::ComPort state;
    } cases[] = {
        {{}, TelnetClient::ComPort::Pending},
        {{255, 253, 44}, TelnetClient::ComPort::Agreed},
        {{255, 254, 44}, TelnetClient::ComPort::Refused},
        {{255, 253, 44, 255, 254, 44}, TelnetClient::ComPort::Refused},
    };
    for (const auto& c : cases) {
        TelnetClient client;
        std::deque<std::uint8_t> data;
        Bytes reply;
        client.receive(c.in, data, reply);
        EXPECT_EQ(client.comPort(), c.state) << ::testing::PrintToString(c.in);
        EXPECT_TRUE(reply.empty());
    }
    TelnetClient client;
    std::deque<std::uint8_t> data;
    Bytes reply;
    client.receive(
        Bytes{255, 250, 44, 101, 0, 0, 255, 255, 0, 255, 240, 255, 250, 44, 5, 1, 255, 240}, data,
        reply);
    ASSERT_NE(client.serverReply(kSetBaudRate), nullptr);
    EXPECT_EQ(*client.serverReply(kSetBaudRate), (Bytes{0, 0, 255, 0}));
    EXPECT_EQ(client.serverReply(kSetControl), nullptr);  // 5 is the client's command, not a reply
}

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
