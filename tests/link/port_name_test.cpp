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
        {"0", std::nullopt},
        {"17", std::nullopt},
        {"01", PortSpec::port(1)},
        {"1.0", std::nullopt},
        {" 1", std::nullopt},
        {"+1", std::nullopt},
        {"", std::nullopt},
        {"ttyS0", std::nullopt},
        {"udp://host:1", std::nullopt},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(parsePortSpec(text), expected) << text;
}

}  // namespace
}  // namespace korvel
