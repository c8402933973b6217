#include "link/port_spec.h"

#include "link/serial_port.h"

namespace korvel {

std::optional<PortSpec> parsePortSpec(std::string_view text) {
    if (text.starts_with('/')) return PortSpec::device(std::string(text));
    if (text.starts_with("tcp://") || text.starts_with("rfc2217://"))
        return PortSpec::network(std::string(text));
    if (text.empty() || text.size() > 2) return std::nullopt;
    int n = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + (c - '0');
    }
    if (n < kFirstPort || n > kLastPort) return std::nullopt;
    return PortSpec::port(n);
}

}  // namespace korvel
