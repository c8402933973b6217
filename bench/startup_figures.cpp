// Start-up and memory, measured on a fresh process of the benchmark that
// starts as the program does, so libraries, fonts and styles load as they would.
#include <QApplication>
#include <QComboBox>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

#include "bench/bench_support.h"
#include "bench/figures.h"
#include "service/ports.h"
#include "ui/main_window.h"
#include "ui/style.h"

namespace korvel::bench {

namespace {

constexpr int kStarts = 5;

long residentKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

void waitUntilExposed(QWidget& window) {
    QTimer guard;
    guard.start(100);
    while (!window.windowHandle() || !window.windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// One start as the program's own: a fresh process, the window built with the
// pseudo-terminal as port 1, then a full status request through the button.
std::map<std::string, double> startOnce(const std::string& device) {
    QProcess probe;
    const Clock::time_point start = Clock::now();
    probe.start(QCoreApplication::applicationFilePath(),
                {"--startup-probe", QString::fromStdString(device)});
    std::map<std::string, double> values;
    while (probe.waitForReadyRead(10'000) || probe.canReadLine()) {
        while (probe.canReadLine()) {
            std::istringstream line(probe.readLine().toStdString());
            std::string key;
            double value = 0;
            line >> key >> value;
            values[key] = value;
            if (key == "shown") values["start"] = seconds(Clock::now() - start);
        }
        if (values.count("rss-status")) break;
    }
    probe.waitForFinished(10'000);
    return values;
}

}  // namespace

int startupProbe(int argc, char** argv) {
    const Clock::time_point start = Clock::now();
    QApplication app(argc, argv);
    ui::applyApplicationStyle(app);
    QtSerialPort port;
    port.overrideDevice(1, argv[2]);
    SteadyClock clock;
    QuietPrompter prompter;
    ui::MainWindow window(port, clock, prompter);
    window.show();
    waitUntilExposed(window);
    std::printf("shown %.6f\n", seconds(Clock::now() - start));
    std::printf("rss-start %ld\n", residentKiB());
    std::fflush(stdout);

    const Clock::time_point scan = Clock::now();
    const std::size_t ports = FillPortList(port).size();
    std::printf("scan %.6f\nports %zu\n", seconds(Clock::now() - scan), ports);

    QComboBox* portList = window.portList();
    emit portList->activated(portList->findText(" 1"));
    QTest::mouseClick(window.statusButton(), Qt::LeftButton);
    QCoreApplication::processEvents();
    std::printf("modules %zu\n", window.registry().kxList.entries.size());
    std::printf("rss-status %ld\n", residentKiB());
    std::fflush(stdout);
    return 0;
}

void startupFigure() {
    printFigure(6, "Start-up to the main window shown (port scan included); resident memory");
    sim::PtyServer server(sim::demoSystem());
    server.setByteTime(kByteTime);
    Samples start, inProcess, scan, rssStart, rssStatus;
    std::size_t ports = 0, modules = 0;
    for (int i = 0; i < kStarts; ++i) {
        std::map<std::string, double> v = startOnce(server.devicePath());
        if (!v.count("rss-status")) {
            printLine("(start %d did not finish)", i + 1);
            continue;
        }
        start.add(v["start"]);
        inProcess.add(v["shown"]);
        scan.add(v["scan"]);
        rssStart.add(v["rss-start"]);
        rssStatus.add(v["rss-status"]);
        ports = static_cast<std::size_t>(v["ports"]);
        modules = static_cast<std::size_t>(v["modules"]);
    }
    if (start.values.empty()) return;
    printLine("%zu starts: %.0f ms (min) / %.0f ms (median) from process start to window exposed",
              start.values.size(), 1e3 * start.min(), 1e3 * start.median());
    printLine(
        "   of which %.0f ms (median) from main() on; port scan of 16 ports alone %.1f ms, "
        "%zu usable",
        1e3 * inProcess.median(), 1e3 * scan.median(), ports);
    printLine(
        "resident memory %.1f MiB after start-up, %.1f MiB after a full status request "
        "(%zu KX list entries) (medians)",
        rssStart.median() / 1024, rssStatus.median() / 1024, modules);
    printLine("no target set: recorded for comparison between versions");
}

}  // namespace korvel::bench
