#include <gtest/gtest.h>

#include "service/ports.h"

namespace korvel {
namespace {

// What a user may give as a port, and what each is taken for.
TEST(PortSpec, IsTakenOnlyInTheFormsTheProgramsDocument) {
    const std::vector<std::pair<std::string, std::optional<PortSpec>>> cases{
        {"1", PortSpec::port(1)},
        {"16", PortSpec::port(16)},
        {"/dev/ttyUSB0", PortSpec::device("/dev/ttyUSB0")},
        {"tcp://127.0.0.1:2000", PortSpec::network("tcp://127.0.0.1:2000")},
        {"rfc2217://host:3000", PortSpec::network("rfc2217://host:3000")},
        {"01", PortSpec::port(1)}};
    for (const auto& [text, expected] : cases) EXPECT_EQ(parsePortSpec(text), expected) << text;
    for (const char* text : {"0", "17", "1.0", " 1", "+1", "", "ttyS0", "udp://host:1"})
        EXPECT_EQ(parsePortSpec(text), std::nullopt) << text;
}

}  // namespace
}  // namespace korvel
