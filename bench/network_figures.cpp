// The status request through a real ser2net on the loopback interface, against
// the same request on the pseudo-terminal directly.
#include "bench/bench_support.h"
#include "bench/figures.h"
#include "net_serial/net_serial_port.h"
#include "service/ports.h"
#include "sim/ser2net_server.h"
#include "status/status_request.h"
#include "ui_model/port_routines.h"

namespace korvel::bench {

namespace {

constexpr double kNetworkTarget = 1.10;

// The demo system behind ser2net, the line emulated at 19200 baud.
struct Ser2netRig {
    Ser2netRig(const char* scheme, const char* accepter)
        : ser2net(server.devicePath(), accepter, "19200n81") {
        server.setByteTime(kByteTime);
        if (!PickNetworkPort(link, prompter, ser2net.address(scheme)))
            std::fprintf(stderr, "cannot reach %s\n", ser2net.address(scheme).c_str());
    }

    sim::PtyServer server{sim::demoSystem()};
    sim::Ser2netServer ser2net;
    QtSerialPort serial;
    net::NetSerialPort network;
    net::RoutedPort port{serial, network};
    SteadyClock clock;
    QuietPrompter prompter;
    QWidget logOwner;
    ui::MessageLog log{&logOwner};
    NoPoll poll;
    Link link{port, clock, log, poll};
};

bool statusRequest(Link& link) {
    const std::optional<StatusFacts> facts = RequestStatus(link, {});
    return facts && !facts->modules.empty();
}

double secondsOf(Link& link, bool& complete) {
    const Clock::time_point start = Clock::now();
    complete &= statusRequest(link);
    return seconds(Clock::now() - start);
}

}  // namespace

void networkFigure() {
    printFigure(8, "Status request through ser2net on loopback, as a ratio to the direct");
    printLine("   pseudo-terminal (19200 baud 8N1 emulated)");
    constexpr int kRuns = 9;
    PtyRig direct(sim::demoSystem());
    const struct {
        const char* scheme;
        const char* accepter;
    } schemes[] = {{"tcp", ""}, {"rfc2217", "telnet(rfc2217)"}};
    for (const auto& s : schemes) {
        Ser2netRig rig(s.scheme, s.accepter);
        bool complete = true;
        secondsOf(direct.link, complete);  // the first runs only warm the caches
        secondsOf(rig.link, complete);
        Samples near;
        Samples far;
        // Taken in turns, so a busy moment of the machine weighs on both.
        for (int i = 0; i < kRuns; ++i) {
            near.add(secondsOf(direct.link, complete));
            far.add(secondsOf(rig.link, complete));
        }
        // A busy machine only ever adds time: the fastest runs show the program's cost.
        const double ratio = far.min() / near.min();
        printLine("%-8s %d runs each, %s; direct %.4f s (min) / %.4f s (median)", s.scheme, kRuns,
                  complete ? "all complete" : "SOME INCOMPLETE", near.min(), near.median());
        printLine("         through ser2net %.4f s (min) / %.4f s (median)", far.min(),
                  far.median());
        printLine("         ratio %.3f (min) / %.3f (median)      target <= %.2f: %s", ratio,
                  far.median() / near.median(), kNetworkTarget,
                  verdict(complete && ratio <= kNetworkTarget));
    }
}

}  // namespace korvel::bench
