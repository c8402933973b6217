#include "net_serial/net_address.h"

#include <charconv>

namespace korvel::net {

namespace {
constexpr std::string_view kTcp = "tcp://";
constexpr std::string_view kRfc2217 = "rfc2217://";
}  // namespace

bool looksLikeNetAddress(const std::string& text) {
    return text.starts_with(kTcp) || text.starts_with(kRfc2217);
}

std::optional<NetAddress> parseNetAddress(const std::string& text) {
    NetAddress a;
    std::string_view rest(text);
    if (rest.starts_with(kTcp)) {
        rest.remove_prefix(kTcp.size());
    } else if (rest.starts_with(kRfc2217)) {
        a.scheme = Scheme::Rfc2217;
        rest.remove_prefix(kRfc2217.size());
    } else {
        return std::nullopt;
    }
    const std::size_t colon = rest.rfind(':');
    if (colon == std::string_view::npos || colon == 0) return std::nullopt;
    std::string_view host = rest.substr(0, colon);
    const std::string_view port = rest.substr(colon + 1);
    if (host.starts_with('[')) {
        if (!host.ends_with(']') || host.size() < 3) return std::nullopt;
        host = host.substr(1, host.size() - 2);
    } else if (host.find_first_of(":[]/") != std::string_view::npos) {
        return std::nullopt;
    }
    unsigned value = 0;
    const auto [end, error] = std::from_chars(port.data(), port.data() + port.size(), value);
    if (error != std::errc{} || end != port.data() + port.size() || value < 1 || value > 65535)
        return std::nullopt;
    a.host = std::string(host);
    a.port = static_cast<std::uint16_t>(value);
    return a;
}

std::string describeNetAddress(const std::string& text) {
    const std::optional<NetAddress> a = parseNetAddress(text);
    if (!a) return text;
    return text + "\n" +
           (a->scheme == Scheme::Tcp
                ? "Raw TCP: the device server sets the line to 19200 baud, 8N1"
                : "RFC 2217: the program sets the line to 19200 baud, 8N1, no flow control") +
           "\nNot encrypted: use an SSH tunnel across networks you do not trust";
}

}  // namespace korvel::net
