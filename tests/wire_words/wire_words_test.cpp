#include <map>
#include <string>
#include <vector>

#include "link/bus_words.h"
#include "status/status_request.h"
#include "tests/support/recorders.h"
#include "wire_words/log_lines.h"

namespace korvel {
namespace {

using namespace std::chrono_literals;
using testing::OpenBench;

const std::string kDot = " \xC2\xB7 ";
const std::string kThen = " \xE2\x86\x92 ";

std::vector<std::string> wordsOf(const std::vector<ExchangeRecord>& records) {
    std::vector<std::string> words;
    for (const ExchangeRecord& r : records)
        for (const LogLine& line : logLines(r)) words.push_back(lineWords(line));
    return words;
}

std::string textOf(const std::vector<ExchangeRecord>& records) {
    std::string text;
    for (const ExchangeRecord& r : records)
        for (const LogLine& line : logLines(r)) text += lineText(line) + "\r\n";
    return text;
}

TEST(WireWords, EveryLineOfTheDemoSystemsStatusRequest) {
    OpenBench b;
    ASSERT_TRUE(RequestStatus(b.link, {}));
    // Every module number of each family once, KX 2's second half after its first.
    const std::map<std::string, std::string> present{
        {"KX 0", "KX-H Active 2.01 C"},   {"KX 2", "KX44 Active 1.01 G"},
        {"KX 2.1", "KX44 Active 1.01 G"}, {"KX 3", "WOBE-s Active 1.10 B"},
        {"KX 5", "KX-H Idle 2.01 C"},     {"ZR 1", "Active 1.03 A"},
        {"ZR 6", "Active 1.03 A"},        {"QH 4", "Active 1.00 E"}};
    std::vector<std::string> expected{"protocol version 3.10 A" + kDot + "system OK",
                                      "system VG-U 1.02"};
    for (const auto& [family, count] :
         {std::pair{"KX ", 16}, std::pair{"ZR ", 8}, std::pair{"QH ", 16}})
        for (int n = 0; n < count; ++n)
            for (const char* half : {"", ".1"}) {
                const std::string name = family + std::to_string(n) + half;
                const auto found = present.find(name);
                if (*half == '\0' || found != present.end())
                    expected.push_back("status " + name + kDot +
                                       (found != present.end() ? found->second : "Not Found"));
            }
    EXPECT_EQ(wordsOf(b.log.records), expected);
}

TEST(WireWords, CommandsAndAnswersOfEveryKind) {
    const std::string kx2 = "KX 2" + kDot;
    const std::string zr1 = "ZR 1" + kDot;
    const std::string dev3 = "ZR 1 device 3" + kDot;
    const std::string dec = "decoder 3 block 0" + kDot + "functions on:";
    const std::string answer = "answer" + kDot;
    // the request, the answer's data (none for an empty answer), the words
    const std::tuple<Frame, sim::FrameData, std::string> cases[] = {
        {Frame{0, 34, 8, 1, 12}, {}, kx2 + "set HFI-level = 12"},
        {Frame{0, 34, 8, 65, 12}, {}, kx2 + "set HFI-level = 12 (permanent)"},
        {Frame{0, 35, 24, 65}, {}, "KX 3.1" + kDot + "get HFI-level (permanent)"},
        {Frame{0, 34, 8, 3, 100}, {}, kx2 + "set Alarm-delay on-delay = 100"},
        {Frame{0, 34, 8, 2}, {}, kx2 + "get Alarm-delay off-delay"},
        {Frame{0, 34, 8, 7, 5}, {}, kx2 + "set Switch-delay on-delay bank 1 = 5"},
        {Frame{0, 34, 8, 4}, {}, kx2 + "get Switch-delay off-delay bank 0"},
        {Frame{0, 34, 8, 9, 16}, {}, kx2 + "set PWM-Mult. = 16"},
        {Frame{0, 34, 8, 9, 6}, {}, kx2 + "set PWM-Mult. = 6 (no such option)"},
        {Frame{0, 34, 8, 10, 1}, {}, kx2 + "set OCD-mode = 1 (Moderate)"},
        {Frame{0, 34, 8, 11, 0}, {}, kx2 + "set MS-mode = 0 (Auto)"},
        {Frame{0, 34, 8, 12, 1}, {}, kx2 + "set Power CTL = 1 (Double)"},
        {Frame{0, 34, 8, 14, 60}, {}, kx2 + "set Loop Current loop B = 60"},
        {Frame{0, 34, 8, 13}, {}, kx2 + "get Loop Current loop A"},
        {Frame{0, 34, 8, 64}, {}, kx2 + "erase all settings"},
        {Frame{0, 34, 8, 1, 99}, {}, kx2 + "set HFI-level = 99 (out of range)"},
        {Frame{}, {0, 34, 10, 1, 12}, answer + "KX 2 HFI-level = 12"},
        {Frame{}, {0, 34, 10, 65, 7}, answer + "KX 2 HFI-level = 7 (permanent)"},
        // the master/slave check: its request and the answers it counts
        {Frame{0, 32, 8, 11}, {}, "KX 0" + kDot + "get MS-mode"},
        {Frame{}, {0, 32, 10, 11, 1}, answer + "KX 0 MS-mode = 1 (Master)"},
        {Frame{}, {0, 37, 26, 11, 2}, answer + "KX 5.1 MS-mode = 2 (Slave)"},
        {Frame{0, 65, 32, 60}, {}, zr1 + "set default time 60 (1000ms)"},
        {Frame{0, 65, 96, 3, 60}, {}, dev3 + "set time 60 (1000ms) (permanent)"},
        {Frame{0, 65, 40, 3, 2}, {}, dev3 + "set power High"},
        {Frame{0, 65, 64}, {}, zr1 + "erase all settings"},
        {Frame{0, 65, 48}, {}, zr1 + "get default time"},
        {Frame{0, 65, 112, 3}, {}, dev3 + "get time (permanent)"},
        {Frame{0, 65, 56, 3}, {}, dev3 + "get power"},
        {Frame{}, {0, 65, 49, 12}, answer + zr1 + "default time 12 (200ms)"},
        {Frame{}, {0, 65, 50, 3, 60}, answer + dev3 + "time 60 (1000ms)"},
        {Frame{}, {0, 65, 50, 5, 0}, answer + "ZR 1 device 5" + kDot + "time 0 (Default)"},
        {Frame{}, {0, 65, 58, 3, 2}, answer + dev3 + "power High"},
        {Frame{}, {0, 65, 122, 3, 9}, answer + dev3 + "power Invalid setting (permanent)"},
        {Frame{1, 6, 1, 0}, {}, "VG" + kDot + "set configuration = 1"},
        {Frame{1, 7, 0, 1}, {}, "VG" + kDot + "set configuration = 16 (permanent)"},
        {Frame{1, 5, 66}, {}, "VG" + kDot + "set options = 66"},
        {Frame{40, 0, 17, 3}, {}, dec + " F1 L"},
        {Frame{40, 0, 53, 3}, {}, dec + " F5 F7"},
        {Frame{40, 0, 32, 3}, {}, dec + " none"},
        {Frame{44, 0, 5, 127, 3}, {}, dec + " F13 F14 F15 F16 F17 F18 F19 F20"},
        {Frame{44, 2, 6, 2, 72, 1}, {}, "decoder 200 block 2" + kDot + "functions on: F22"},
        {Frame{1, 0}, {}, "Reset Fault"},
        {Frame{1, 3, 1}, {1, 3, 16, 87}, "capacity" + kDot + "87"},
        {Frame{1, 3, 0}, {1, 3, 6}, "DIP switches" + kDot + "bits 0110"},
        {Frame{1, 3, 2}, {1, 3, 0x25, 0, 8, 0}, "KX presence" + kDot + "modules 0 2 11"},
        {Frame{1, 3, 6}, {1, 3, 0x62, 0}, "ZR presence" + kDot + "modules 1"},
        {Frame{}, {}, "poll" + kDot + "nothing held"},
        // a status answer taken by a poll, and frames nobody can place
        {Frame{}, {1, 11, 36, 0, 0, 0}, answer + "status KX 4" + kDot + "Not Found"},
        {Frame{1, 3, 1},
         {0, 34, 10, 1, 12},
         "status" + kDot + "capacity" + kThen + answer + "KX 2 HFI-level = 12"},
        {Frame{5, 5}, {}, "unknown" + kDot + "2A 05 05 4C"},
        {Frame{0, 34, 8, 20, 1}, {}, "unknown" + kDot + "2D 00 22 08 14 01 14"},
        {Frame{}, {0, 34, 10, 30, 1}, answer + "unknown" + kDot + "0D 00 22 0A 1E 01 28"},
    };
    for (const auto& [request, answer, words] : cases) {
        ExchangeRecord r;
        r.request = encodeRequest(request, true, false);
        r.answer = sim::SimController::encodeAnswer(answer);
        const std::vector<LogLine> lines = logLines(r);
        EXPECT_EQ(lines.empty() ? exchangeWords(r) : lineWords(lines.at(0)), words) << words;
    }
}

// The text rebuilt from the records puts a set-aside frame on a line of its own
// and the answer below it, and the words name what went wrong: a set-aside
// frame, a wrong check byte and an unanswered poll.
TEST(WireWords, RecordsGiveTheLogTextAndNameWhatWentWrong) {
    OpenBench b;
    ASSERT_TRUE(RequestStatus(b.link, {}));
    b.controller.queueMessage({0, 34, 10, 1, 12});
    ASSERT_TRUE(b.link.Transact(Frame{}));
    b.controller.faults().aimed = testing::aimedAt(sim::FaultKind::LateAside, {1, 11, 35}, 2500ms);
    EXPECT_FALSE(b.link.Transact(Frame{1, 11, 35}));
    b.controller.faults().answerDelay = 1s;
    ASSERT_TRUE(b.link.Transact(Frame{1, 11, 36}));
    b.controller.faults().answerDelay = 0s;
    b.controller.faults().badCheckAnswers = 1;
    EXPECT_FALSE(b.link.Transact(Frame{1, 0}));
    b.controller.faults().skipAnswers = 1;
    EXPECT_FALSE(b.link.Transact(Frame{}));
    EXPECT_NE(textOf(b.log.records)
                  .find(">> 2B 01 0B 24 25" + std::string(12, ' ') +
                        "  << 0E 01 0B 23 0A 09 02 2E  (ignored: not the answer to this "
                        "request)\r\n" +
                        std::string(29, ' ') + "  << 0E 01 0B 24 00 00 00 42\r\n"),
              std::string::npos)
        << textOf(b.log.records);

    const std::vector<std::string> words = wordsOf(b.log.records);
    const std::vector<std::string> tail(words.end() - 6, words.end());
    EXPECT_EQ(tail,
              (std::vector<std::string>{
                  "answer" + kDot + "KX 2 HFI-level = 12", "status KX 3" + kThen + "no answer",
                  "status KX 4" + kThen + "set aside, not its answer" + kDot + "status KX 3" +
                      kDot + "WOBE-s Active 1.10 B",
                  "status KX 4" + kDot + "Not Found",
                  "Reset Fault" + kThen + "check-byte error in the answer: 08 79",
                  "poll" + kThen + "no answer"}));
    const ExchangeRecord& late = b.log.records[b.log.records.size() - 3];
    EXPECT_EQ(logLines(late).back().delay,
              std::chrono::duration_cast<std::chrono::milliseconds>(late.answered - late.sent));
    EXPECT_GE(logLines(late).back().delay, 1000ms);
}

// Every frame that reaches the JSON Lines file carries the bytes its text line shows.
TEST(WireWords, JsonLinesCarryTheBytesOfTheTextAndTheTime) {
    ExchangeRecord r;
    r.request = encodeRequest(Frame{0, 34, 8, 1, 12}, true, false);
    r.answer = sim::SimController::encodeAnswer({});
    r.answered = r.sent + 12ms;
    const LogLine line = logLines(r).at(0);
    EXPECT_EQ(
        lineJson(line, "14:03:07.250"),
        R"({"time":"14:03:07.250","kind":"answered","delay_ms":12,"frames":[)"
        R"({"direction":"out","bytes":[45,128,162,136,129,140,156],"words":"KX 2)" +
            kDot +
            R"(set HFI-level = 12"},{"direction":"in","bytes":[8,248],"words":"nothing held"}],)"
            R"("text":">> 2D 00 22 08 01 0C 1C        << 08 78","words":"KX 2)" +
            kDot + R"(set HFI-level = 12"})");
    EXPECT_EQ(formatLine(line, "14:03:07.250", {true, true, true}),
              "14:03:07.250  >> 2D 00 22 08 01 0C 1C        << 08 78" + std::string(21, ' ') +
                  "    12 ms  KX 2" + kDot + "set HFI-level = 12");
    EXPECT_EQ(formatLine(line, "x", {}), lineText(line));
    EXPECT_EQ(answerWords({}), "unknown" + kDot + "no bytes");
}

}  // namespace
}  // namespace korvel
