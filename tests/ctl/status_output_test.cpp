// korvelctl's status text and JSON, formatted from the facts a request found.
#include "ctl/status_output.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <sstream>

namespace korvel {
namespace {

using K = ModuleKind;

std::string text(const StatusFacts& facts) {
    std::ostringstream out;
    ctl::writeStatusText(facts, out);
    return out.str();
}

QJsonObject json(const StatusFacts& facts) {
    std::ostringstream out;
    ctl::writeStatusJson(facts, out);
    return QJsonDocument::fromJson(QByteArray::fromStdString(out.str())).object();
}

// A module whose step got no answer is listed as not answering; one that
// answered as absent is left out.
TEST(StatusOutput, StandardViewListsModulesThatAreThereOrDidNotAnswer) {
    StatusFacts facts;
    facts.system = {0, 3101, 2, 1020};
    facts.modules = {
        {K::KX, 0, 0, kKxH, 0x08, 2013, true},  {K::KX, 1, 0, kKxNone, 0, 0, false},
        {K::KX, 2, 0, kKx44, 0x09, 1017, true}, {K::KX, 2, 1, kKx44, 0x09, 1017, true},
        {K::KX, 4, 0, kKxNone, 0x00, 0, true},  {K::ZR, 1, 0, kKxNone, 0x28, 1031, true},
        {K::QH, 4, 0, kKxNone, 0x00, 0, false}};
    EXPECT_EQ(text(facts),
              "System Status     OK\n"
              "Protocol Version  3.10 A\n"
              "System Version    VG-U 1.02\n"
              "License code      Unknown\n"
              "\n"
              "Module  Type    Status     Version\n"
              "kx:0    KX-H    Active     2.01 C\n"
              "kx:1            not answering\n"
              "kx:2.0  KX44    Active     1.01 G\n"
              "kx:2.1  KX44    Active     1.01 G\n"
              "zr:1    ZR32    Hold       1.03 A\n"
              "qh:4            not answering\n");
    const QJsonArray modules = json(facts)["modules"].toArray();
    ASSERT_EQ(modules.size(), 6);
    EXPECT_EQ(
        modules[1].toObject(),
        (QJsonObject{{"module", "kx:1"}, {"family", "kx"}, {"number", 1}, {"answering", false}}));
    EXPECT_EQ(modules[3].toObject(), (QJsonObject{{"module", "kx:2.1"},
                                                  {"family", "kx"},
                                                  {"number", 2},
                                                  {"half", 1},
                                                  {"answering", true},
                                                  {"type", "KX44"},
                                                  {"status", "Active"},
                                                  {"version", "1.01 G"}}));
}

// A summary that got no answer leaves every module it covers not answering.
TEST(StatusOutput, ClassicViewGivesCapacityAsANumber) {
    StatusFacts facts;
    facts.classic = true;
    facts.system = {0, 3100, 2, 1020};
    facts.summary = {87, 0x05, std::nullopt, 0x00, std::nullopt, 0x02};
    const std::string t = text(facts);
    for (const char* line :
         {"\nRemaining Cap     87\n", "\nDIP status        1:Off 2:On 3:Off 4:On\n",
          "\nkx:15           not answering\nzr:1    ZR32    OK\n"})
        EXPECT_NE(t.find(line), std::string::npos) << line;
    EXPECT_EQ(std::count(t.begin(), t.end(), '\n'), 8 + 16 + 1);
    const QJsonObject o = json(facts);
    EXPECT_EQ(o["remaining-capacity"], QJsonValue(87));
    EXPECT_EQ(o["modules"].toArray().size(), 17);
    facts.summary.capacity.reset();
    EXPECT_TRUE(json(facts)["remaining-capacity"].isNull());
}

}  // namespace
}  // namespace korvel
