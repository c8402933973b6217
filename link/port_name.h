#pragma once

#include <string>

namespace korvel {

// Where the line is, parsed once from what the user gave: a port number of the
// port list (1..16), a device path, or a device server's address with its
// scheme (tcp:// or rfc2217://), whose host and port the network adapter checks.
struct PortSpec {
    enum class Kind { Number, Device, Network };
    Kind kind = Kind::Number;
    int number = 0;    // Number
    std::string name;  // Device: the path; Network: the address as given

    static PortSpec port(int n) { return {Kind::Number, n, {}}; }
    static PortSpec device(std::string path) { return {Kind::Device, 0, std::move(path)}; }
    static PortSpec network(std::string address) { return {Kind::Network, 0, std::move(address)}; }
    bool operator==(const PortSpec&) const = default;
};

}  // namespace korvel
