#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace korvel::net {

// A serial line behind a device server: raw TCP, where the server has set the
// line already, or telnet with COM-PORT-OPTION, where the program sets it.
enum class Scheme { Tcp, Rfc2217 };

struct NetAddress {
    Scheme scheme = Scheme::Tcp;
    std::string host;  // a name or an address; IPv6 without its brackets
    std::uint16_t port = 0;
};

// "tcp://HOST:PORT" or "rfc2217://HOST:PORT" (an IPv6 host in brackets);
// nullopt for anything else.
std::optional<NetAddress> parseNetAddress(const std::string& text);

// True when `text` names a network port at all (it starts with a known scheme).
bool looksLikeNetAddress(const std::string& text);

// `text` as a one-line message repeats it: a long one cut short, so that
// an address of any length cannot flood the message.
std::string shown(const std::string& text);

// Tool tip of a network port-list entry.
std::string describeNetAddress(const std::string& text);

}  // namespace korvel::net
