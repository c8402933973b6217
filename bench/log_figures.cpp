// The message log: the cost of one more line in a long log, for the program's
// append and for rewriting the whole text with every piece.
#include <QApplication>
#include <QPlainTextEdit>
#include <memory>

#include "bench/bench_support.h"
#include "bench/figures.h"
#include "ui/message_log.h"

namespace korvel::bench {

namespace {

constexpr double kGrowthTarget = 1.5;
constexpr int kSmallLog = 1'000;
constexpr int kLargeLog = 100'000;
constexpr int kPairs = 200;
constexpr int kBatch = 5;

// One logged request with three data bytes, in the two pieces the link writes.
const std::string kRequest = ">> 2B 01 0B 21 48            ";
const std::string kAnswer = "  << 0E 01 0B 21 02 10 3D\r\n";

QString lineText() {
    return QString::fromStdString(kRequest + kAnswer).remove('\r');
}

void appendLines(ui::MessageLogWindow& log, int count) {
    for (int i = 0; i < count; ++i) {
        log.appendPiece(kRequest);
        log.appendPiece(kAnswer);
    }
}

// Seconds per line of `batch` lines appended by `append`.
template <class Append>
double perLine(int batch, Append&& append) {
    const Clock::time_point start = Clock::now();
    append(batch);
    return seconds(Clock::now() - start) / batch;
}

// Batches on the short and the long log take turns, so a busy spell of the
// machine falls on both alike; each pair gives one ratio. The first pair
// only warms up.
template <class Short, class Long>
void compareLengths(Short&& appendShort, Long&& appendLong, int pairs, int batch,
                    Samples& shortTimes, Samples& longTimes, Samples& ratios) {
    perLine(batch, appendShort);
    perLine(batch, appendLong);
    for (int i = 0; i < pairs; ++i) {
        const double s = perLine(batch, appendShort);
        const double l = perLine(batch, appendLong);
        shortTimes.add(s);
        longTimes.add(l);
        ratios.add(l / s);
    }
}

struct LogPair {
    std::unique_ptr<ui::MessageLogWindow> shortLog;
    std::unique_ptr<ui::MessageLogWindow> longLog;
};

LogPair programLogs(bool shown) {
    LogPair p{std::make_unique<ui::MessageLogWindow>(nullptr),
              std::make_unique<ui::MessageLogWindow>(nullptr)};
    for (auto* log : {p.shortLog.get(), p.longLog.get()}) {
        log->setWindowFlag(Qt::Window);
        if (shown) log->show();
    }
    // The measured lines straddle the nominal length.
    const int measured = (kPairs + 1) * kBatch;
    appendLines(*p.shortLog, kSmallLog - measured / 2);
    appendLines(*p.longLog, kLargeLog - measured / 2);
    QApplication::processEvents();
    return p;
}

void programFigure(bool shown) {
    const LogPair logs = programLogs(shown);
    Samples shortTimes, longTimes, ratios;
    const auto onShort = [&](int n) { appendLines(*logs.shortLog, n); };
    const auto onLong = [&](int n) { appendLines(*logs.longLog, n); };
    compareLengths(onShort, onLong, kPairs, kBatch, shortTimes, longTimes, ratios);
    printLine("program, window %s: %.1f us per line at 1,000 lines, %.1f us at 100,000 (medians)",
              shown ? "shown " : "hidden", 1e6 * shortTimes.median(), 1e6 * longTimes.median());
    printLine(
        "   ratio %.3f (median of %d paired batches of %d lines; middle half %.2f-%.2f)   "
        "target <= %.1f: %s",
        ratios.median(), kPairs, kBatch, ratios.quantile(0.25), ratios.quantile(0.75),
        kGrowthTarget, verdict(ratios.median() <= kGrowthTarget));
}

// The box as the literal reading has it: read all, append, write all back.
void literalAppend(QPlainTextEdit& box, const std::string& piece) {
    QString text = box.toPlainText();
    text += QString::fromStdString(piece).remove('\r');
    box.setPlainText(text);
}

std::unique_ptr<ui::MessageLogWindow> literalLog(int lines) {
    auto log = std::make_unique<ui::MessageLogWindow>(nullptr);
    log->setWindowFlag(Qt::Window);
    log->findChild<QPlainTextEdit*>("txtMsgLog")->setPlainText(lineText().repeated(lines));
    return log;
}

void literalFigure() {
    const auto shortLog = literalLog(kSmallLog);
    const auto longLog = literalLog(kLargeLog);
    auto* shortBox = shortLog->findChild<QPlainTextEdit*>("txtMsgLog");
    auto* longBox = longLog->findChild<QPlainTextEdit*>("txtMsgLog");
    const auto appender = [](QPlainTextEdit* box) {
        return [box](int n) {
            for (int i = 0; i < n; ++i) literalAppend(*box, kRequest), literalAppend(*box, kAnswer);
        };
    };
    Samples shortTimes, longTimes, ratios;
    compareLengths(appender(shortBox), appender(longBox), 3, 1, shortTimes, longTimes, ratios);
    printLine(
        "literal, window hidden: %.2f ms per line at 1,000 lines, %.0f ms at 100,000 (medians)",
        1e3 * shortTimes.median(), 1e3 * longTimes.median());
    printLine("   ratio %.0f (median of 3 paired lines)   for comparison", ratios.median());
    printLine("   (fewer lines: each box was filled to its length in one write, then 4 lines were");
    printLine("    appended the literal way; building 100,000 lines so would take ~%.0f minutes)",
              longTimes.median() * kLargeLog / 2 / 60);
}

}  // namespace

void logAppendFigure() {
    printFigure(5, "Time per log append at 100,000 lines / at 1,000 lines");
    programFigure(false);
    programFigure(true);
    literalFigure();
}

}  // namespace korvel::bench
