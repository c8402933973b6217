#include "net_serial/net_address.h"

#include <algorithm>
#include <charconv>
#include <string_view>
#include <vector>

namespace korvel::net {

namespace {
constexpr std::string_view kTcp = "tcp://";
constexpr std::string_view kRfc2217 = "rfc2217://";
constexpr std::size_t kLongestName = 253;
constexpr std::size_t kLongestShown = 80;

bool allOf(std::string_view s, bool (*test)(char)) {
    return !s.empty() && std::all_of(s.begin(), s.end(), test);
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isHexDigit(char c) {
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// A label the system's resolver would read as a number: decimal, octal or hex.
bool numericLabel(std::string_view label) {
    if (label.starts_with("0x") || label.starts_with("0X"))
        return allOf(label.substr(2), isHexDigit);
    return allOf(label, isDigit);
}

// A name made of numbers only is an IPv4 address; the resolver also takes
// "127.1", "2130706433" and octal "0177.0.0.1" as 127.0.0.1, so only the
// plain four decimal numbers 0..255, without leading zeros, are accepted.
bool acceptableHost(std::string_view host) {
    if (host.empty() || host.size() > kLongestName) return false;
    if (std::any_of(host.begin(), host.end(),
                    [](char c) { return static_cast<unsigned char>(c) <= ' ' || c == 0x7F; }))
        return false;
    std::vector<std::string_view> labels;
    for (std::size_t start = 0;;) {
        const std::size_t dot = host.find('.', start);
        labels.push_back(host.substr(start, dot - start));
        if (dot == std::string_view::npos) break;
        start = dot + 1;
    }
    if (!std::all_of(labels.begin(), labels.end(), numericLabel)) return true;
    return labels.size() == 4 && std::all_of(labels.begin(), labels.end(), [](std::string_view l) {
               return allOf(l, isDigit) && l.size() <= 3 && (l.size() == 1 || l[0] != '0') &&
                      std::stoi(std::string(l)) <= 255;
           });
}
}  // namespace

std::string shown(const std::string& text) {
    if (text.size() <= kLongestShown) return text;
    return text.substr(0, kLongestShown - 3) + "...";
}

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
        if (host.find_first_not_of("0123456789abcdefABCDEF:.") != std::string_view::npos)
            return std::nullopt;
    } else if (host.find_first_of(":[]/") != std::string_view::npos || !acceptableHost(host)) {
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
