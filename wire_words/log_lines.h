#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "link/exchange_record.h"
#include "wire_words/wire_words.h"

namespace korvel {

// A frame of at most nine bytes kept by value, so a long log costs no
// allocation per frame.
struct StoredFrame {
    std::array<std::uint8_t, 9> bytes{};
    std::uint8_t size = 0;

    static StoredFrame of(const ExchangeRecord::Bytes& frame);
    WireBytes view() const { return {bytes.data(), size}; }
};

// What the answer column of a line holds.
enum class LineKind : std::uint8_t {
    Answered,    // the answer taken
    Unanswered,  // nothing, or a frame with a wrong check byte (kept in `answer`)
    SetAside,    // a frame that could not answer this request
};

// One line of the message log and what stands beside it.
struct LogLine {
    StoredFrame request;
    StoredFrame answer;
    LineKind kind = LineKind::Answered;
    bool continuation = false;  // the line after a set-aside frame: the request is not repeated
    Clock::time_point sent{};
    std::chrono::milliseconds delay{-1};  // from the request to its answer; -1 without one
};

// The lines an exchange adds to the log, in order: none for a poll that found
// nothing, one otherwise, and one more for every frame set aside.
std::vector<LogLine> logLines(const ExchangeRecord& record);

// The line as the log's text has it, without its line end.
std::string lineText(const LogLine& line);
// The line in words.
std::string lineWords(const LogLine& line);
// The record of one exchange in words, whether or not the text log shows it.
std::string exchangeWords(const ExchangeRecord& record);

// Which columns a written line carries beside its text.
struct LineParts {
    bool time = false;
    bool delay = false;
    bool words = false;
};
// "14:03:07.250  >> 2A ...  << 08 78  12 ms  Reset Fault": the text with the
// asked parts; `timeText` is the front end's clock reading of `line.sent`.
std::string formatLine(const LogLine& line, std::string_view timeText, LineParts parts);

// The line as one JSON object for a JSON Lines file: the time, and per frame
// its direction, raw bytes and words.
std::string lineJson(const LogLine& line, std::string_view timeText);

}  // namespace korvel
