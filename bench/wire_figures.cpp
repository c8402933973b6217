// Long sequences against the emulated 19200-baud line: how close the program
// comes to the time the bytes themselves need on the wire.
#include <QCoreApplication>
#include <algorithm>
#include <random>
#include <sstream>

#include "bench/bench_support.h"
#include "bench/figures.h"
#include "ctl/terminal.h"
#include "ops/system_ops.h"
#include "ops/system_runs.h"
#include "sim/memory_port.h"
#include "status/module_lists.h"
#include "status/status_request.h"
#include "ui_model/module_lists.h"
#include "ui_model/zr_routines.h"
#include "zr/zr_report.h"

namespace korvel::bench {

namespace {

constexpr double kWireTarget = 1.05;

struct WireRun {
    double seconds = 0;
    // Processor time of the thread that runs the exchanges, of the simulator's
    // thread, and of the process as a whole.
    double programCpu = 0;
    double simulatorCpu = 0;
    double processCpu = 0;
    std::size_t bytes = 0;
    std::size_t frames = 0;
    bool complete = false;
    // What the window does at the next turn of the event loop, once the line is idle.
    double catchUp = 0;
};

std::size_t framesReceived(sim::PtyServer& server) {
    return server.withController([](sim::SimController& c) { return c.framesReceived().size(); });
}

template <class Run>
WireRun onTheWire(PtyRig& rig, Run&& run) {
    const std::size_t bytes0 = rig.wireBytes();
    const std::size_t frames0 = framesReceived(rig.server);
    const double program0 = threadCpuSeconds();
    const double simulator0 = seconds(rig.server.cpuTime());
    const double process0 = processCpuSeconds();
    const Clock::time_point start = Clock::now();
    const bool complete = run();
    const Clock::time_point end = Clock::now();
    QCoreApplication::processEvents();
    const double catchUp = seconds(Clock::now() - end);
    return {seconds(end - start),
            threadCpuSeconds() - program0,
            seconds(rig.server.cpuTime()) - simulator0,
            processCpuSeconds() - process0,
            rig.wireBytes() - bytes0,
            framesReceived(rig.server) - frames0,
            complete,
            catchUp};
}

// The first run only warms the caches.
template <class Run>
void measureAgainstWire(int runs, PtyRig& rig, Run&& run) {
    onTheWire(rig, run);
    rig.port.take();
    Samples time;
    Samples ratio;
    Samples overhead;
    Samples program;
    Samples simulator;
    Samples others;
    Samples catchUp;
    WireRun r;
    int complete = 0;
    for (int i = 0; i < runs; ++i) {
        r = onTheWire(rig, run);
        const auto perFrame = [&r](double s) { return s / static_cast<double>(r.frames); };
        time.add(r.seconds);
        ratio.add(r.seconds / wireSeconds(r.bytes));
        overhead.add(perFrame(r.seconds - wireSeconds(r.bytes)));
        program.add(perFrame(r.programCpu));
        simulator.add(perFrame(r.simulatorCpu));
        others.add(perFrame(r.processCpu - r.programCpu - r.simulatorCpu));
        catchUp.add(perFrame(r.catchUp));
        complete += r.complete ? 1 : 0;
    }
    const TimedPort::Times port = rig.port.take();
    printLine("%d runs, %d complete; each %zu exchanges, %zu bytes on the wire (both ways)", runs,
              complete, r.frames, r.bytes);
    printLine("measured %.4f s (min) / %.4f s (median)   wire-time bound %.4f s", time.min(),
              time.median(), wireSeconds(r.bytes));
    printLine("beyond the wire: %.0f us per exchange (median)", 1e6 * overhead.median());
    printLine("   of it the program's turn, last byte of an answer read to the next request:");
    printLine("   %.0f us (median), %.0f-%.0f us (quartiles); its write %.0f us (median)",
              1e6 * port.turns.median(), 1e6 * port.turns.quantile(0.25),
              1e6 * port.turns.quantile(0.75), 1e6 * port.writes.median());
    printLine("processor time per exchange (median): program's thread %.0f us, simulator's",
              1e6 * program.median());
    printLine("   thread %.0f us, other threads %.0f us", 1e6 * simulator.median(),
              1e6 * others.median());
    printLine("after the run, the event loop's turn: %.0f us per exchange (median)",
              1e6 * catchUp.median());
    printLine("ratio    %.3f (min) / %.3f (median)        target <= %.2f: %s", ratio.min(),
              ratio.median(), kWireTarget, verdict(ratio.median() <= kWireTarget));
}

class OneZrModule final : public ZrReportInputs {
  public:
    explicit OneZrModule(int module) : module_(module) {}
    std::optional<std::int32_t> selectedModule() override { return module_; }
    bool permanent() override { return false; }

  private:
    int module_;
};

}  // namespace

void statusRequestFigure() {
    printFigure(1, "Status request, demo system, standard view (19200 baud 8N1 emulated)");
    PtyRig rig(sim::demoSystem());
    WindowRegistry registry;
    measureAgainstWire(7, rig, [&] {
        const std::optional<StatusFacts> facts = RequestStatus(rig.link, {});
        if (facts) registerModules(registry, *facts);
        return facts && !facts->classic && !registry.kxList.empty();
    });
}

void zrReportFigure() {
    printFigure(2, "ZR32 report of a module with 64 devices (19200 baud 8N1 emulated)");
    PtyRig rig(sim::demoSystem());
    OneZrModule inputs(1);
    measureAgainstWire(5, rig, [&] {
        const std::string text = RunZRReport(rig.link, inputs, {});
        return std::count(text.begin(), text.end(), '\n') == 3 + 64;
    });
}

}  // namespace korvel::bench

namespace korvel::bench {

void backupFigure() {
    printFigure(7, "korvelctl backup of the demo system: status, then every KX setting and both");
    printLine("   ZR32 configurations, active and permanent (19200 baud 8N1 emulated)");
    PtyRig rig(sim::demoSystem());
    std::ostringstream discard;
    const ctl::Terminal terminal{discard, discard, false};
    // korvelctl's own link: no log window behind it.
    ctl::TerminalLog log{terminal};
    Link link{rig.port, rig.clock, log, rig.poll};
    measureAgainstWire(3, rig, [&] {
        ModuleRegistry registry;
        const std::optional<StatusFacts> facts = RequestStatus(link, {});
        if (facts) registerModules(registry, *facts);
        ops::Bus bus(link, registry);
        bus.retries = 0;
        return facts && ops::takeBackup(bus, *facts, "").backup.has_value();
    });
}

}  // namespace korvel::bench

namespace korvel::bench {

namespace {

struct NoLog final : LogSink {
    void exchanged(const ExchangeRecord&) override {}
};

struct NoisyRun {
    bool whole = false;
    double seconds = 0;  // on the simulated line's clock: wire time and every wait
    std::optional<ops::Backup> backup;
};

// A backup (no `file`) or a restore of `file`, from the status request on, on
// the in-memory line whose clock counts each byte's wire time; `loss` of the
// controller's answers are lost at random, the same ones for a seed.
NoisyRun noisyRun(unsigned seed, double loss, const ops::Backup* file) {
    sim::SimController controller(sim::demoSystem());
    sim::FakeClock clock;
    sim::MemoryPort port(controller, clock);
    NoLog log;
    NoPoll poll;
    Link link(port, clock, log, poll);
    port.open(1);
    if (loss > 0)
        controller.faults().unanswered = [rng = std::mt19937(seed),
                                          loss](const sim::FrameData&) mutable {
            return std::uniform_real_distribution<double>(0, 1)(rng) < loss;
        };
    ModuleRegistry registry;
    ops::Bus bus(link, registry);
    const Clock::time_point start = clock.now();
    NoisyRun r;
    if (!ops::requestStatus(bus)) {
        std::string error;
        if (!file) {
            r.backup = ops::takeBackup(bus, *bus.facts(), "").backup;
            r.whole = r.backup.has_value();
        } else if (const auto targets = ops::restoreTargets(*file, {}, {}, error)) {
            r.whole = ops::restore(bus, *targets).whole();
        }
    }
    r.seconds = seconds(clock.now() - start);
    return r;
}

}  // namespace

void noiseFigure() {
    constexpr int kSeeds = 20;
    constexpr double kLoss = 0.05;
    printFigure(9, "Backup and restore of the demo system with 5% of the controller's answers");
    printLine("   lost at random, default retries, seeds 1-%d; time on the simulated line", kSeeds);
    printLine("   (each byte's wire time at 19200 baud, every wait; no processor time)");
    const NoisyRun cleanBackup = noisyRun(0, 0, nullptr);
    // A restore writes back the demo system's own settings.
    const std::optional<ops::Backup>& file = cleanBackup.backup;
    if (!file) {
        printLine("no loss-free backup: %s", verdict(false));
        return;
    }
    const NoisyRun cleanRestore = noisyRun(0, 0, &*file);
    for (const auto& [name, clean, backup] :
         {std::tuple{"backup ", cleanBackup, true}, std::tuple{"restore", cleanRestore, false}}) {
        int whole = 0, inTime = 0;
        Samples ratio;
        for (unsigned seed = 1; seed <= kSeeds; ++seed) {
            const NoisyRun r = noisyRun(seed, kLoss, backup ? nullptr : &*file);
            whole += r.whole ? 1 : 0;
            inTime += r.whole && r.seconds <= 1.3 * clean.seconds ? 1 : 0;
            ratio.add(r.seconds / clean.seconds);
        }
        // A run whose very first answer is lost waits the full 2 s: nothing
        // is known of the line's pace yet.
        printLine("%s loss-free %.1f s; %d of %d whole (target >= 19: %s); %d of %d whole within "
                  "1.3 times the loss-free time (target >= 19: %s); time %.2f (median) / %.2f "
                  "(max) of loss-free",
                  name, clean.seconds, whole, kSeeds, verdict(whole >= 19), inTime, kSeeds,
                  verdict(inTime >= 19), ratio.median(), ratio.max());
    }
}

}  // namespace korvel::bench
