#include "wire_words/log_lines.h"

#include <cstdio>

#include "link/bus_words.h"
#include "link/frame.h"

namespace korvel {

namespace {

constexpr const char* kDot = " \xC2\xB7 ";
constexpr const char* kThen = " \xE2\x86\x92 ";  // an arrow from the request to what came back
constexpr std::size_t kTextColumns = 60;         // request and a full answer

bool isPoll(const StoredFrame& request) {
    return request.size <= 2;
}
bool hasData(const StoredFrame& frame) {
    return frame.size > 2;
}

// An answer that repeats the leading bytes of a query to the controller
// speaks for the query: its words name the subject already.
bool answersQuery(const LogLine& line) {
    const StoredFrame& q = line.request;
    const StoredFrame& a = line.answer;
    return q.size > 3 && a.size > 3 && q.bytes[1] == a.bytes[1] && q.bytes[2] == a.bytes[2] &&
           q.bytes[1] == (0x80 | kToController);
}

std::string requestText(const LogLine& line) {
    std::string text = ">>" + byteTexts(line.request.view());
    text.append(3 * static_cast<std::size_t>(Frame::kMaxData + 2 - line.request.size), ' ');
    return line.continuation ? std::string(text.size(), ' ') : text;
}

void appendJsonString(std::string& out, std::string_view text) {
    out += '"';
    for (char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
            out += escaped;
        } else {
            out += c;
        }
    }
    out += '"';
}

void appendJsonFrame(std::string& out, const char* direction, const StoredFrame& frame,
                     const std::string& words, bool checkError = false) {
    out += R"({"direction":")";
    out += direction;
    out += checkError ? R"(","check_error":true,"bytes":[)" : R"(","bytes":[)";
    for (std::size_t i = 0; i < frame.size; ++i) {
        if (i > 0) out += ',';
        out += std::to_string(frame.bytes[i]);
    }
    out += R"(],"words":)";
    appendJsonString(out, words);
    out += '}';
}

const char* kindName(const LogLine& line) {
    switch (line.kind) {
        case LineKind::Answered:
            return "answered";
        case LineKind::SetAside:
            return "set aside";
        case LineKind::Unanswered:
            return line.answer.size > 0 ? "check-byte error" : "unanswered";
    }
    return "";
}

}  // namespace

StoredFrame StoredFrame::of(const ExchangeRecord::Bytes& frame) {
    StoredFrame stored;
    stored.size = static_cast<std::uint8_t>(std::min(frame.size(), stored.bytes.size()));
    std::copy_n(frame.begin(), stored.size, stored.bytes.begin());
    return stored;
}

std::vector<LogLine> logLines(const ExchangeRecord& record) {
    std::vector<LogLine> lines;
    LogLine line;
    line.request = StoredFrame::of(record.request);
    line.sent = record.sent;
    for (const ExchangeRecord::Bytes& frame : record.setAside) {
        line.answer = StoredFrame::of(frame);
        line.kind = LineKind::SetAside;
        lines.push_back(line);
        line.continuation = true;
    }
    if (record.unanswered) {
        line.answer = StoredFrame::of(record.checkError);
        line.kind = LineKind::Unanswered;
        lines.push_back(line);
        return lines;
    }
    line.answer = StoredFrame::of(record.answer);
    line.kind = LineKind::Answered;
    line.delay =
        std::chrono::duration_cast<std::chrono::milliseconds>(record.answered - record.sent);
    if (!isPoll(line.request) || hasData(line.answer) || line.continuation) lines.push_back(line);
    return lines;
}

std::string lineText(const LogLine& line) {
    switch (line.kind) {
        case LineKind::Answered:
            return requestText(line) + "  <<" + byteTexts(line.answer.view());
        case LineKind::SetAside:
            return requestText(line) + "  <<" + byteTexts(line.answer.view()) + kSetAsideNote;
        case LineKind::Unanswered:
            return isPoll(line.request) && !line.continuation ? std::string() : requestText(line);
    }
    return {};
}

std::string lineWords(const LogLine& line) {
    const std::string asked =
        line.continuation ? std::string() : requestWords(line.request.view()) + kThen;
    switch (line.kind) {
        case LineKind::Answered:
            if (isPoll(line.request))
                return hasData(line.answer)
                           ? "answer" + std::string(kDot) + answerWords(line.answer.view())
                           : "poll" + std::string(kDot) + "nothing held";
            if (!hasData(line.answer))
                return line.continuation ? "answer: nothing held"
                                         : requestWords(line.request.view());
            if (answersQuery(line)) return answerWords(line.answer.view());
            return asked + "answer" + kDot + answerWords(line.answer.view());
        case LineKind::SetAside:
            return asked + "set aside, not its answer" + kDot + answerWords(line.answer.view());
        case LineKind::Unanswered:
            if (line.answer.size > 0)
                return asked + "check-byte error in the answer:" + byteTexts(line.answer.view());
            return asked + "no answer";
    }
    return {};
}

std::string exchangeWords(const ExchangeRecord& record) {
    const std::vector<LogLine> lines = logLines(record);
    if (lines.empty()) return "poll" + std::string(kDot) + "nothing held";
    std::string words = lineWords(lines.front());
    for (std::size_t i = 1; i < lines.size(); ++i) words += "; " + lineWords(lines[i]);
    return words;
}

std::string formatLine(const LogLine& line, std::string_view timeText, LineParts parts) {
    std::string out;
    if (parts.time) (out += timeText) += "  ";
    out += lineText(line);
    if (!parts.delay && !parts.words) return out;
    if (out.size() < kTextColumns + (parts.time ? timeText.size() + 2 : 0))
        out.resize(kTextColumns + (parts.time ? timeText.size() + 2 : 0), ' ');
    if (parts.delay) {
        char delay[24] = "      -";
        if (line.delay.count() >= 0)
            std::snprintf(delay, sizeof delay, "%4lld ms",
                          static_cast<long long>(line.delay.count()));
        (out += "  ") += delay;
    }
    if (parts.words) (out += "  ") += lineWords(line);
    return out;
}

std::string lineJson(const LogLine& line, std::string_view timeText) {
    std::string out = R"({"time":)";
    appendJsonString(out, timeText);
    out += R"(,"kind":")";
    out += kindName(line);
    out += '"';
    if (line.delay.count() >= 0) out += R"(,"delay_ms":)" + std::to_string(line.delay.count());
    out += R"(,"frames":[)";
    bool first = true;
    const auto separate = [&] {
        if (!first) out += ',';
        first = false;
    };
    const bool requestShown =
        !line.continuation && !(isPoll(line.request) && line.kind == LineKind::Unanswered);
    if (requestShown) {
        separate();
        appendJsonFrame(out, "out", line.request, requestWords(line.request.view()));
    }
    if (line.answer.size > 0) {
        separate();
        appendJsonFrame(out, "in", line.answer, answerWords(line.answer.view()),
                        line.kind == LineKind::Unanswered);
    }
    out += R"(],"text":)";
    appendJsonString(out, lineText(line));
    out += R"(,"words":)";
    appendJsonString(out, lineWords(line));
    out += '}';
    return out;
}

}  // namespace korvel
