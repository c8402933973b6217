#pragma once

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <sstream>

#include "ctl/cli.h"
#include "sim/memory_port.h"

namespace korvel::testing {

// The simulated system behind the in-memory port; -p 1 and --demo both reach it.
struct MemoryLine final : ctl::LineAccess {
    explicit MemoryLine(sim::SimSystem system) : controller(std::move(system)) {}
    SerialPort& port() override { return memory; }
    Clock& clock() override { return fake; }
    std::optional<int> choose(const std::string&, bool, std::string&) override { return 1; }

    sim::SimController controller;
    sim::FakeClock fake;
    sim::MemoryPort memory{controller, fake};
};

struct CtlRun {
    int exit;
    std::string out, err;
};

inline CtlRun runCtl(ctl::LineAccess& line, const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const ctl::Terminal terminal{out, err, false};
    QStringList arguments{"korvelctl"};
    for (const std::string& a : args) arguments << QString::fromStdString(a);
    const int exit = ctl::runKorvelctl(arguments, line, terminal);
    return {exit, out.str(), err.str()};
}

// The permanent settings a restore puts back, straight from the simulator.
inline std::vector<int> permanentSettings(const sim::SimSystem& system) {
    std::vector<int> v;
    for (const sim::SimModule& m : system.modules) {
        for (const sim::KxSettings* k : {&m.kxPermanent, &m.kxSecondPermanent})
            v.insert(v.end(), k->value.begin(), k->value.end());
        v.push_back(m.zrPermanent.defaultTime);
        for (const sim::ZrDevice& d : m.zrPermanent.devices) v.insert(v.end(), {d.time, d.power});
    }
    return v;
}

inline sim::SimModule& moduleOf(sim::SimSystem& s, sim::ModuleFamily family, int number) {
    for (sim::SimModule& m : s.modules)
        if (m.family == family && m.number == number) return m;
    throw std::out_of_range("no such simulated module");
}

}  // namespace korvel::testing
