// Prints the link's timing and cost figures against the simulated controller on
// a pseudo-terminal. Run by hand (./run.sh bench); never part of the tests.
#include <sys/resource.h>

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "link/link.h"
#include "link/ports.h"
#include "link/qt/qt_serial_port.h"
#include "sim/pty_server.h"
#include "ui/message_log.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

struct QuietPrompter final : korvel::Prompter {
    korvel::MessageAnswer show(const std::string&, korvel::MessageIcon, korvel::MessageButtons) override {
        return korvel::MessageAnswer::Ok;
    }
};
struct NullLog final : korvel::LogSink {
    void append(std::string_view) override {}
};
struct NoPoll final : korvel::PollSwitch {
    void setPolling(bool) override {}
};

double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// A link on the real serial-port code, talking to the simulator on a pty.
struct PtyRig {
    PtyRig() : server(korvel::sim::demoSystem()) {
        port.overrideDevice(1, server.devicePath());
        if (!port.open(1)) std::fprintf(stderr, "cannot open %s\n", server.devicePath().c_str());
    }
    korvel::sim::PtyServer server;
    korvel::QtSerialPort port;
    korvel::SteadyClock clock;
    QuietPrompter prompter;
    NullLog log;
    NoPoll poll;
    korvel::Link link{port, clock, prompter, log, poll};
};

void emptyExchangeRoundTrip() {
    PtyRig rig;
    std::vector<double> times;
    int answered = 0;
    for (int i = 0; i < 500; ++i) {
        const auto start = Clock::now();
        answered += rig.link.Transact(korvel::Frame{}) ? 1 : 0;
        times.push_back(seconds(Clock::now() - start));
    }
    std::sort(times.begin(), times.end());
    std::printf("empty exchange round trip (pty, median of 500, %d answered): %.3f ms"
                "  (wire time at 19200 baud: %.3f ms)\n",
                answered, times[times.size() / 2] * 1e3, 4 * 10.0 / 19200 * 1e3);
}

void unansweredWaitCpu() {
    PtyRig rig;
    rig.server.withController([](korvel::sim::SimController& c) { c.faults().silent = true; });
    const double cpu0 = cpuSeconds();
    const auto start = Clock::now();
    rig.link.Transact(korvel::Frame{});
    const double wall = seconds(Clock::now() - start);
    const double cpu = cpuSeconds() - cpu0;
    std::printf("unanswered exchange: waited %.3f s, CPU %.4f s (%.2f%% of one core; target < 2%%)\n", wall,
                cpu, 100.0 * cpu / wall);
}

void logAppendTimes() {
    korvel::ui::MessageLogWindow window(nullptr);
    const std::string request = ">> 2B 01 03 01 50                ";
    const std::string answer = "  << 0E 01 0B 20 08 10 03 4D\r\n";
    auto appendLines = [&](int count) {
        for (int i = 0; i < count; ++i) window.appendPiece(request), window.appendPiece(answer);
    };
    // Best of five short batches, so a busy machine does not decide the figure.
    auto timeOfNext = [&](int lines) {
        double best = 1e9;
        for (int batch = 0; batch < 5; ++batch) {
            const auto start = Clock::now();
            appendLines(lines / 5);
            best = std::min(best, seconds(Clock::now() - start) / (lines / 5));
        }
        return best;
    };
    appendLines(1000);
    const double at1k = timeOfNext(500);
    appendLines(100000 - 1500);
    const double at100k = timeOfNext(500);
    std::printf("log append: %.1f us per line at 1,000 lines, %.1f us at 100,000 lines (ratio %.2f)\n",
                at1k * 1e6, at100k * 1e6, at100k / at1k);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    emptyExchangeRoundTrip();
    unansweredWaitCpu();
    logAppendTimes();
    return 0;
}
