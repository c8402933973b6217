// korvel-web: a status request through the API against its wire time, and a
// backup watched by 20 events sockets against the same backup unwatched.
#include <QCoreApplication>
#include <QEventLoop>
#include <QProcess>
#include <QSocketNotifier>
#include <unistd.h>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QWebSocket>
#include <memory>
#include <vector>

#include "bench/bench_support.h"
#include "bench/figures.h"
#include "web/web_server.h"

namespace korvel::bench {

namespace {

constexpr double kApiTarget = 1.05;
constexpr double kWatchedTarget = 1.05;
constexpr const char* kToken = "bench-token-0123456789abcdef";

// korvel-web on the demo system, the line emulated at 19200 baud, and a client.
struct WebRig {
    WebRig() : server(options()) {
        line.setByteTime(kByteTime);
        if (const std::string why = server.start(); !why.empty())
            std::fprintf(stderr, "korvel-web did not start: %s\n", why.c_str());
    }

    web::ServerOptions options() {
        web::ServerOptions o;
        o.port = 0;
        o.token = kToken;
        o.line = PortSpec::device(line.devicePath());
        o.lineName = "bench";
        return o;
    }

    // The request's time, from sending it to its whole answer; false when it failed.
    bool call(const QByteArray& method, const char* path, double& secondsTaken) {
        QNetworkRequest request(QUrl(QString("http://127.0.0.1:%1%2").arg(server.port()).arg(path)));
        request.setRawHeader("Authorization", QByteArray("Bearer ") + kToken);
        const Clock::time_point start = Clock::now();
        QNetworkReply* reply = client.sendCustomRequest(request, method);
        QEventLoop wait;
        QObject::connect(reply, &QNetworkReply::finished, &wait, &QEventLoop::quit);
        wait.exec();
        secondsTaken = seconds(Clock::now() - start);
        const bool ok = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() == 200;
        reply->deleteLater();
        return ok;
    }

    sim::PtyServer line{sim::demoSystem()};
    web::WebServer server;
    QNetworkAccessManager client;
};

// The watchers: another process, as browsers would be, started as
// `korvel-bench --watch-probe PORT COUNT`; it says "ready" once every socket
// has its hello, and counts what they were told until its input closes.
struct Watchers {
    Watchers(WebRig& rig, int count) {
        probe.start(QCoreApplication::applicationFilePath(),
                    {"--watch-probe", QString::number(rig.server.port()), QString::number(count)});
        probe.waitForStarted();
        QEventLoop wait;
        QObject::connect(&probe, &QProcess::readyReadStandardOutput, &wait, &QEventLoop::quit);
        QObject::connect(&probe, &QProcess::finished, &wait, &QEventLoop::quit);
        while (probe.state() == QProcess::Running && !probe.canReadLine()) wait.exec();
        probe.readLine();
    }
    // How many messages the sockets were told in all.
    long finish() {
        probe.closeWriteChannel();
        probe.waitForFinished();
        return probe.readAll().trimmed().toLong();
    }
    QProcess probe;
};

}  // namespace

void webStatusFigure() {
    printFigure(10, "korvel-web: POST /api/status on the demo system, as a ratio to its wire");
    printLine("   time (19200 baud 8N1 emulated; client on loopback)");
    constexpr int kRuns = 7;
    WebRig rig;
    double s = 0;
    bool complete = rig.call("POST", "/api/status", s);  // the first run only warms the caches
    Samples time, ratio;
    std::size_t bytes = 0;
    for (int i = 0; i < kRuns; ++i) {
        const std::size_t before = rig.line.bytesIn() + rig.line.bytesOut();
        complete &= rig.call("POST", "/api/status", s);
        bytes = rig.line.bytesIn() + rig.line.bytesOut() - before;
        time.add(s);
        ratio.add(s / wireSeconds(bytes));
    }
    printLine("%d runs, %s; %zu bytes on the wire, wire time %.4f s", kRuns,
              complete ? "all complete" : "SOME FAILED", bytes, wireSeconds(bytes));
    printLine("measured %.4f s (min) / %.4f s (median)", time.min(), time.median());
    printLine("ratio %.3f (min) / %.3f (median)      target <= %.2f: %s", ratio.min(),
              ratio.median(), kApiTarget, verdict(ratio.min() <= kApiTarget));
}

void webWatchedBackupFigure() {
    printFigure(11, "korvel-web: GET /api/backup with 20 events sockets watching, against none");
    printLine("   (demo system, 19200 baud 8N1 emulated; sockets on loopback)");
    constexpr int kRuns = 3;
    WebRig rig;
    double s = 0;
    bool complete = rig.call("GET", "/api/backup", s);
    Samples alone, watched;
    long told = 0;
    // Taken in turns, so a busy moment of the machine weighs on both.
    for (int i = 0; i < kRuns; ++i) {
        complete &= rig.call("GET", "/api/backup", s);
        alone.add(s);
        Watchers watchers(rig, 20);
        complete &= rig.call("GET", "/api/backup", s);
        watched.add(s);
        told = watchers.finish();
    }
    const double ratio = watched.min() / alone.min();
    printLine("%d runs each, %s; %ld messages to the 20 sockets in the last run", kRuns,
              complete ? "all complete" : "SOME FAILED", told);
    printLine("none %.3f s (min) / %.3f s (median); watched %.3f s (min) / %.3f s (median)",
              alone.min(), alone.median(), watched.min(), watched.median());
    printLine("ratio %.3f (min) / %.3f (median)      target <= %.2f: %s", ratio,
              watched.median() / alone.median(), kWatchedTarget, verdict(ratio <= kWatchedTarget));
}

int watchProbe(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString port = argv[2];
    const int count = std::atoi(argv[3]);
    std::vector<std::unique_ptr<QWebSocket>> sockets;
    long messages = 0;
    int hellos = 0;
    for (int i = 0; i < count; ++i) {
        auto s = std::make_unique<QWebSocket>();
        QObject::connect(s.get(), &QWebSocket::textMessageReceived, [&] {
            if (++messages, ++hellos == count) std::printf("ready\n"), std::fflush(stdout);
        });
        s->open(QUrl("ws://127.0.0.1:" + port + "/api/events?token=" + kToken));
        sockets.push_back(std::move(s));
    }
    QSocketNotifier input(0, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char c;
        if (::read(0, &c, 1) <= 0) app.quit();
    });
    app.exec();
    std::printf("%ld\n", messages - count);
    return 0;
}

}  // namespace korvel::bench
