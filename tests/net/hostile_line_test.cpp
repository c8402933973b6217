// korvelctl against peers that flood, drip, stall or lie, on the loopback
// interface: each ends the run by itself, soon, with little memory, and a stop
// signal ends it within half a second wherever it waits.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QProcess>
#include <csignal>
#include <random>

#include "tests/net/loopback_peer.h"

namespace korvel {
namespace {

using testing::Bytes;
using testing::LoopbackPeer;
using testing::PeerSide;
using namespace std::chrono_literals;
using Steady = std::chrono::steady_clock;

const Bytes kNops = [] {
    Bytes b;
    for (int i = 0; i < 1024; ++i) b.insert(b.end(), {255, 241});
    return b;
}();

Bytes noise() {
    std::mt19937 random(7);
    Bytes b(4096);
    for (std::uint8_t& x : b) x = static_cast<std::uint8_t>(random());
    return b;
}

struct ChildRun {
    int exit = -1;
    double seconds = 0;    // from the start, or from the signal when one was sent
    long peakKb = 0;       // the child's largest resident set
    std::string messages;  // standard error
};

// Runs `korvelctl -p ADDRESS status` and waits for it, 30 s at most. With a
// signal, sends it once the peer is ready and times the exit from then.
ChildRun korvelctl(const std::string& address, LoopbackPeer* peer = nullptr, int signal = 0) {
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // A sanitizer's quarantine would hold freed memory and hide what the run
    // holds.
    env.insert("ASAN_OPTIONS", "quarantine_size_mb=8:detect_leaks=0");
    child.setProcessEnvironment(env);
    child.setStandardOutputFile(QProcess::nullDevice());
    Steady::time_point start = Steady::now();
    child.start(KORVELCTL, {"-p", QString::fromStdString(address), "status"});
    bool signalled = signal == 0;
    while (child.state() != QProcess::NotRunning && !child.waitForFinished(5)) {
        if (Steady::now() - start > 30s) child.kill();
        if (!signalled && peer && peer->ready()) {
            ::kill(static_cast<pid_t>(child.processId()), signal);
            start = Steady::now();
            signalled = true;
        }
    }
    ChildRun run;
    run.seconds = std::chrono::duration<double>(Steady::now() - start).count();
    run.exit = child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -1;
    // The largest of the children waited for: this run, or the yardstick's below
    // it.
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    run.peakKb = usage.ru_maxrss;
    run.messages = child.readAllStandardError().toStdString();
    return run;
}

// What the same program takes to fail at once: the yardstick for memory.
long baselineKb() {
    static const long kb = [] {
        LoopbackPeer refusing([](PeerSide& side, LoopbackPeer&) { side.reset(); });
        return korvelctl(refusing.address("tcp")).peakKb;
    }();
    return kb;
}

// The name, the scheme, the peer's script, the signal sent when the script
// marks itself ready (0: none); the exit status, the least and the most
// seconds, a text of the messages ("": any).
using Behaviour = std::tuple<const char*, const char*, LoopbackPeer::Script, int, int, double,
                             double, const char*>;

// The peer never answers: once the client has sent `marker` (anything, when
// empty) it is ready for the signal, and only listens.
void silentAfter(PeerSide& side, LoopbackPeer& peer, const Bytes& marker) {
    const bool sent =
        marker.empty() ? side.take(5s) && !side.received().empty() : side.awaitSent(marker) != 0;
    if (!sent) return;
    peer.markReady();
    for (int i = 0; i < 100 && side.take(100ms); ++i) {
    }
}

const Behaviour kBehaviours[] = {
    {"flood", "tcp", [](PeerSide& s, LoopbackPeer&) { s.keepSending(noise()); }, 0, 1, 0, 5,
     "kept sending"},
    {"flood_after_negotiation", "rfc2217",
     [](PeerSide& s, LoopbackPeer&) {
         if (s.agree()) s.keepSending(noise());
     },
     0, 1, 0, 12, ""},
    {"nops_instead_of_negotiating", "rfc2217",
     [](PeerSide& s, LoopbackPeer&) { s.keepSending(kNops); }, 0, 1, 5, 7,
     "did not answer the COM-PORT-OPTION (RFC 2217) request within 5 s"},
    {"nops_from_the_first_request", "rfc2217",
     [](PeerSide& s, LoopbackPeer&) {
         if (s.agree() && s.awaitSent({255, 250, 44, 12}) != 0) s.keepSending(kNops);
     },
     0, 1, 0, 12, ""},
    {"endless_subnegotiation", "rfc2217",
     [](PeerSide& s, LoopbackPeer&) {
         if (s.send({255, 250, 44, 101})) s.keepSending(Bytes(4096, 0x41));
     },
     0, 1, 0, 3, "subnegotiation longer than 64 bytes"},
    {"early_confirmations", "rfc2217",
     [](PeerSide& s, LoopbackPeer&) {
         s.send({255, 253, 44,  255, 250, 44,  101, 0,   0,  0x4B, 0, 255, 240, 255,
                 250, 44,  102, 8,   255, 240, 255, 250, 44, 103,  1, 255, 240, 255,
                 250, 44,  104, 1,   255, 240, 255, 250, 44, 105,  1, 255, 240});
         s.agree({0, 0, 0x25, 0x80});
     },
     0, 1, 0, 3, "did not set the baud rate"},
    {"binary_refused", "rfc2217",
     [](PeerSide& s, LoopbackPeer&) {
         if (s.send({255, 254, 0})) s.agree();
     },
     0, 1, 0, 3, "telnet BINARY"},
    {"drip", "tcp", [](PeerSide& s, LoopbackPeer&) { s.keepSending({0x80}, 50ms); }, 0, 1, 0, 12,
     ""},
    {"reset_after_accept", "tcp", [](PeerSide& s, LoopbackPeer&) { s.reset(); }, 0, 1, 0, 3,
     "reset"},
    {"interrupt_while_negotiating", "rfc2217",
     [](PeerSide& s, LoopbackPeer& p) {
         silentAfter(s, p, {255, 251, 44});
     },
     SIGINT, 130, 0, 0.5, ""},
    {"interrupt_in_a_nop_stream", "rfc2217",
     [](PeerSide& s, LoopbackPeer& p) {
         if (!s.agree() || s.awaitSent({255, 250, 44, 12}) == 0) return;
         p.markReady();
         s.keepSending(kNops, {}, 10s);
     },
     SIGINT, 130, 0, 0.5, ""},
    {"terminate_while_awaiting_the_answer", "tcp",
     [](PeerSide& s, LoopbackPeer& p) { silentAfter(s, p, {}); }, SIGTERM, 143, 0, 0.5, ""},
};

struct HostileLine : ::testing::TestWithParam<Behaviour> {};

TEST_P(HostileLine, EndsByItselfSoonWithLittleMemory) {
    const auto& [name, scheme, script, stop, exitStatus, atLeast, atMost, said] = GetParam();
    const long baseline = baselineKb();
    LoopbackPeer peer(script);
    const ChildRun run = korvelctl(peer.address(scheme), &peer, stop);
    EXPECT_EQ(run.exit, exitStatus) << run.messages;
    EXPECT_GE(run.seconds, atLeast) << run.messages;
    // The stop rows are timed from the signal; the limit is the promise, with
    // room for a loaded machine.
    EXPECT_LE(run.seconds, stop ? atMost * 2 : atMost) << run.messages;
    EXPECT_LE(run.peakKb, baseline + 32 * 1024) << "baseline " << baseline << " kB";
    EXPECT_NE(run.messages.find(said), std::string::npos) << run.messages;
    EXPECT_EQ(run.messages.find("refused"), std::string::npos) << run.messages;
}

INSTANTIATE_TEST_SUITE_P(Peers, HostileLine, ::testing::ValuesIn(kBehaviours),
                         [](const auto& info) { return std::string(std::get<0>(info.param)); });

}  // namespace
}  // namespace korvel
