// korvelctl's status text and JSON, formatted from the facts a request found.
#include "ctl/status_output.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonObject>
#include <sstream>

namespace korvel {
namespace {

using K = ModuleFamily;

std::pair<std::string, QJsonObject> output(const StatusFacts& facts) {
    std::ostringstream text;
    ctl::writeStatusText(facts, text);
    return {text.str(), ctl::statusJson(facts)};
}

// A module whose step got no answer is listed as not answering, one that
// answered as absent is left out; a classic summary that got no answer leaves
// every module it covers not answering.
TEST(StatusOutput, ModulesThatAreThereOrDidNotAnswerAndNumbersAsNumbers) {
    StatusFacts facts;
    facts.system = {0, 3101, 2, 1020};
    facts.modules = {
        {K::KX, 0, 0, kKxH, 0x08, 2013, true},  {K::KX, 1, 0, kKxNone, 0, 0, false},
        {K::KX, 2, 0, kKx44, 0x09, 1017, true}, {K::KX, 2, 1, kKx44, 0x09, 1017, true},
        {K::KX, 4, 0, kKxNone, 0x00, 0, true},  {K::ZR, 1, 0, kKxNone, 0x28, 1031, true},
        {K::QH, 4, 0, kKxNone, 0x00, 0, false}};
    auto [text, json] = output(facts);
    EXPECT_EQ(text.substr(text.find("Module")),
              "Module  Type    Status     Version\n"
              "kx:0    KX-H    Active     2.01 C\n"
              "kx:1            not answering\n"
              "kx:2.0  KX44    Active     1.01 G\n"
              "kx:2.1  KX44    Active     1.01 G\n"
              "zr:1    ZR32    Hold       1.03 A\n"
              "qh:4            not answering\n");
    const QJsonArray modules = json["modules"].toArray();
    ASSERT_EQ(modules.size(), 6);
    EXPECT_EQ(
        modules[1].toObject(),
        (QJsonObject{{"module", "kx:1"}, {"family", "kx"}, {"number", 1}, {"answering", false}}));
    EXPECT_EQ(modules[3].toObject()["half"], QJsonValue(1));

    facts.classic = true;
    facts.summary = {87, 0x05, std::nullopt, 0x00, std::nullopt, 0x02};
    std::tie(text, json) = output(facts);
    EXPECT_NE(text.find("\nRemaining Cap     87\nDIP status        1:Off 2:On 3:Off 4:On\n"),
              std::string::npos);
    EXPECT_NE(text.find("\nkx:15           not answering\nzr:1    ZR32    OK\n"),
              std::string::npos);
    EXPECT_EQ(json["modules"].toArray().size(), 17);
    EXPECT_EQ(json["remaining-capacity"], QJsonValue(87));
}

}  // namespace
}  // namespace korvel
