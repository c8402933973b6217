// The message log: a million exchanges appended with their words, the time of
// one append at the end against the start, and the memory a line holds.
#include <malloc.h>

#include <QApplication>
#include <memory>

#include "bench/bench_support.h"
#include "bench/figures.h"
#include "ui/message_log.h"

namespace korvel::bench {

namespace {

constexpr double kGrowthTarget = 1.5;
constexpr int kExchanges = 1'000'000;
constexpr int kBatch = 1'000;
constexpr int kCompared = 50;  // batches at each end of the run

// A KX Set and a status query with their answers, as the link records them.
std::array<ExchangeRecord, 2> exchanges() {
    ExchangeRecord set;
    set.request = encodeRequest(Frame{0, 34, 8, 65, 12}, true, false);
    set.answer = {8, 0xF8};
    set.answered = set.sent + std::chrono::milliseconds(6);
    ExchangeRecord status;
    status.request = encodeRequest(Frame{1, 11, 37}, true, true);
    status.answer = {14, 0x81, 0x8B, 0xA5, 0x9A, 0x8A, 0x8A, 0xB5};
    status.answered = status.sent + std::chrono::milliseconds(7);
    return {set, status};
}

std::size_t heapBytes() {
    return mallinfo2().uordblks;
}

void appendFigure(bool shown) {
    auto log = std::make_unique<ui::MessageLogWindow>(nullptr);
    log->setWindowFlag(Qt::Window);
    log->model().setLimit(kExchanges);
    if (shown) log->show();
    QApplication::processEvents();
    const std::array<ExchangeRecord, 2> records = exchanges();
    const std::size_t heapBefore = heapBytes();
    Samples batches;
    for (int done = 0; done < kExchanges; done += kBatch) {
        const Clock::time_point start = Clock::now();
        for (int i = 0; i < kBatch; ++i) log->addRecord(records[static_cast<std::size_t>(i % 2)]);
        // A shown log follows and repaints once per batch, as between two polls.
        if (shown) QApplication::processEvents();
        batches.add(seconds(Clock::now() - start) / kBatch);
    }
    const double bytesPerLine = static_cast<double>(heapBytes() - heapBefore) /
                                static_cast<double>(log->model().lineCount());
    // The first batch only warms up.
    Samples first, last;
    for (int i = 1; i <= kCompared; ++i) first.add(batches.values[static_cast<std::size_t>(i)]);
    for (std::size_t i = batches.values.size() - kCompared; i < batches.values.size(); ++i)
        last.add(batches.values[i]);
    const double ratio = last.median() / first.median();
    printLine(
        "window %s: %.2f us per exchange at the start, %.2f us at 1,000,000 lines (medians of "
        "%d batches of %d)",
        shown ? "shown " : "hidden", 1e6 * first.median(), 1e6 * last.median(), kCompared, kBatch);
    printLine("   ratio %.3f   target <= %.1f: %s;   %.0f bytes per line (heap, words included)",
              ratio, kGrowthTarget, verdict(ratio <= kGrowthTarget), bytesPerLine);
}

}  // namespace

void logAppendFigure() {
    printFigure(5, "Time per log append with decoding at 1,000,000 lines / at the start");
    appendFigure(false);
    appendFigure(true);
}

}  // namespace korvel::bench
