#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <span>
#include <string>
#include <vector>

namespace korvel::net {

// Telnet's command bytes and the options this client takes part in.
inline constexpr std::uint8_t kIac = 255;
inline constexpr std::uint8_t kDont = 254;
inline constexpr std::uint8_t kDo = 253;
inline constexpr std::uint8_t kWont = 252;
inline constexpr std::uint8_t kWill = 251;
inline constexpr std::uint8_t kSb = 250;
inline constexpr std::uint8_t kSe = 240;
inline constexpr std::uint8_t kBinary = 0;
inline constexpr std::uint8_t kSuppressGoAhead = 3;
inline constexpr std::uint8_t kComPort = 44;

// COM-PORT-OPTION commands from the client; the server confirms each with the
// same command plus kServerOffset and the value it applied.
inline constexpr std::uint8_t kSetBaudRate = 1;
inline constexpr std::uint8_t kSetDataSize = 2;
inline constexpr std::uint8_t kSetParity = 3;
inline constexpr std::uint8_t kSetStopSize = 4;
inline constexpr std::uint8_t kSetControl = 5;
inline constexpr std::uint8_t kPurgeData = 12;
inline constexpr std::uint8_t kServerOffset = 100;

inline constexpr std::uint8_t kParityNone = 1;
inline constexpr std::uint8_t kOneStopBit = 1;
inline constexpr std::uint8_t kNoFlowControl = 1;
inline constexpr std::uint8_t kPurgeBoth = 3;

// The longest subnegotiation a server may send, IAC SB and IAC SE not counted.
// COM-PORT-OPTION's replies are a few bytes; anything longer is a broken or
// hostile server, and holding it would let the server decide our memory.
inline constexpr std::size_t kMaxSubnegotiation = 64;

// Data as telnet carries it: every 255 doubled.
std::vector<std::uint8_t> escapeIac(std::span<const std::uint8_t> data);

// IAC SB COM-PORT-OPTION command value... IAC SE, the value escaped.
std::vector<std::uint8_t> comPortCommand(std::uint8_t command, std::span<const std::uint8_t> value);

// The line settings the program asks for, one command each, in sending order.
struct LineSetting {
    std::uint8_t command;
    std::vector<std::uint8_t> value;
    const char* name;
};
const std::vector<LineSetting>& lineSettings();

// One telnet connection seen from the client that wants COM-PORT-OPTION:
// splits what the server sends into data and commands, answers the server's
// option requests, and keeps the server's COM-PORT-OPTION replies. No I/O.
class TelnetClient {
  public:
    enum class ComPort { Pending, Agreed, Refused };

    // What the client says first: binary both ways, no go-ahead, COM-PORT-OPTION.
    std::vector<std::uint8_t> greeting();

    // Takes bytes from the server: data goes to `data`, answers owed to the
    // server go to `reply`.
    void receive(std::span<const std::uint8_t> bytes, std::deque<std::uint8_t>& data,
                 std::vector<std::uint8_t>& reply);

    ComPort comPort() const { return comPort_; }
    // The server broke the protocol (a subnegotiation over kMaxSubnegotiation);
    // nothing it sends is taken any more.
    bool broken() const { return broken_; }
    // Bytes pass unchanged both ways: the server has not refused BINARY either way.
    bool binary() const;
    // The server's last reply to `command` (its value), if one came.
    const std::vector<std::uint8_t>* serverReply(std::uint8_t command) const;
    // Forgets the reply to `command`, so that the next one can be told from it.
    void forgetReply(std::uint8_t command) { replies_.erase(command); }

  private:
    enum class State { Data, Iac, Verb, Sub, SubIac };

    void negotiate(std::uint8_t verb, std::uint8_t option, std::vector<std::uint8_t>& reply);
    void keepSub(std::uint8_t b);
    void subnegotiation();

    State state_ = State::Data;
    std::uint8_t verb_ = 0;
    std::vector<std::uint8_t> sub_;
    // Options in force: what we do (WILL agreed) and what the server does (DO agreed).
    std::map<std::uint8_t, bool> ours_;
    std::map<std::uint8_t, bool> theirs_;
    ComPort comPort_ = ComPort::Pending;
    std::map<std::uint8_t, std::vector<std::uint8_t>> replies_;
    bool broken_ = false;
};

}  // namespace korvel::net
