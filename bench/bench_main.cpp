// Prints the program's timing and cost figures, each beside its bound and
// target, against the simulated controller on a pseudo-terminal. Run by hand
// (./run.sh bench [figure numbers]); never part of the tests.
#include <QApplication>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>

#include "bench/bench_support.h"
#include "bench/figures.h"

namespace {

// Two notes of the headless platform say nothing about the figures; keep them
// out of the table.
void quietMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.contains("propagateSizeHints") || message.contains("XDG_RUNTIME_DIR")) return;
    std::fputs(qPrintable(qFormatLogMessage(type, context, message) + '\n'), stderr);
}

}  // namespace

int main(int argc, char** argv) {
    qInstallMessageHandler(quietMessages);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 3 && std::strcmp(argv[1], "--startup-probe") == 0)
        return korvel::bench::startupProbe(argc, argv);
    if (argc == 4 && std::strcmp(argv[1], "--watch-probe") == 0)
        return korvel::bench::watchProbe(argc, argv);

    // Figure numbers on the command line pick some; none runs them all.
    std::set<std::string> picked(argv + 1, argv + argc);
    QApplication app(argc, argv);
    std::printf("KorvelConfig benchmark: 19200 baud 8N1 emulated, %.1f us per byte each way\n",
                1e6 * korvel::bench::wireSeconds(1));
    void (*const figures[])() = {
        korvel::bench::statusRequestFigure,  korvel::bench::zrReportFigure,
        korvel::bench::unansweredWaitFigure, korvel::bench::idlePollingFigure,
        korvel::bench::logAppendFigure,      korvel::bench::startupFigure,
        korvel::bench::backupFigure,         korvel::bench::networkFigure,
        korvel::bench::noiseFigure,          korvel::bench::webStatusFigure,
        korvel::bench::webWatchedBackupFigure};
    for (int i = 0; i < static_cast<int>(std::size(figures)); ++i)
        if (picked.empty() || picked.count(std::to_string(i + 1))) figures[i]();
    return 0;
}
