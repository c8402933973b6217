// What waiting costs: an exchange left unanswered, and the poll timer on an
// idle line. The simulator's own thread is left out of the figures.
#include <QComboBox>
#include <QEventLoop>
#include <QTimer>

#include "bench/bench_support.h"
#include "bench/figures.h"
#include "ui/main_window.h"

namespace korvel::bench {

namespace {

constexpr double kWaitTarget = 0.02;
constexpr double kPollTarget = 0.01;
constexpr int kPollSeconds = 10;

std::size_t framesReceived(sim::PtyServer& server) {
    return server.withController([](sim::SimController& c) { return c.framesReceived().size(); });
}

}  // namespace

void unansweredWaitFigure() {
    printFigure(3, "Processor time while one exchange waits 2 s for an answer that never comes");
    PtyRig rig(sim::demoSystem());
    rig.server.withController([](sim::SimController& c) { c.faults().silent = true; });
    Samples share;
    Samples wall;
    for (int i = 0; i < 3; ++i) {
        const double cpu0 = programCpuSeconds(rig.server);
        const Clock::time_point start = Clock::now();
        const bool answered = static_cast<bool>(rig.link.Transact(Frame{}));
        wall.add(seconds(Clock::now() - start));
        share.add((programCpuSeconds(rig.server) - cpu0) / wall.values.back());
        if (answered) printLine("(an answer came; the figure is void)");
    }
    printLine("3 waits of %.3f s (median)", wall.median());
    printLine("CPU %.3f%% (median) / %.3f%% (max) of one core   target < %.0f%%: %s",
              100 * share.median(), 100 * share.max(), 100 * kWaitTarget,
              verdict(share.max() < kWaitTarget));
}

void idlePollingFigure() {
    printFigure(4,
                "Processor time over 10 s of idle polling at 50 ms (Timer1, event loop running)");
    sim::PtyServer server(sim::demoSystem());
    server.setByteTime(kByteTime);
    QtSerialPort port;
    port.overrideDevice(1, server.devicePath());
    SteadyClock clock;
    QuietPrompter prompter;
    ui::MainWindow window(port, clock, prompter);
    window.show();

    QComboBox* ports = window.portList();
    const int index = ports->findText(" 1");
    emit ports->activated(index);
    // Polling starts with the first exchange that is answered.
    window.link().Transact(Frame{});

    QEventLoop loop;
    QTimer::singleShot(std::chrono::seconds(kPollSeconds), Qt::PreciseTimer, &loop,
                       &QEventLoop::quit);
    const std::size_t frames0 = framesReceived(server);
    const double cpu0 = programCpuSeconds(server);
    const Clock::time_point start = Clock::now();
    loop.exec();
    const double wall = seconds(Clock::now() - start);
    const double share = (programCpuSeconds(server) - cpu0) / wall;
    const std::size_t frames = framesReceived(server) - frames0;

    printLine("%.2f s, %zu poll frames exchanged (%.1f per second), still polling: %s", wall,
              frames, static_cast<double>(frames) / wall, window.link().polling() ? "yes" : "no");
    printLine("CPU %.3f%% of one core   target < %.0f%%: %s", 100 * share, 100 * kPollTarget,
              verdict(share < kPollTarget));
}

}  // namespace korvel::bench
