#pragma once

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <sstream>

#include "ctl/cli.h"
#include "sim/memory_port.h"

namespace korvel::testing {

// The simulated system behind the in-memory port; -p 1 and --demo both reach it.
struct MemoryLine final : ctl::LineAccess {
    explicit MemoryLine(sim::SimSystem system = sim::demoSystem())
        : controller(std::move(system)) {}
    SerialPort& port() override { return memory; }
    Clock& clock() override { return fake; }
    int choose(const std::string&, bool) override { return 1; }

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
    QStringList arguments{"korvelctl"};
    for (const std::string& a : args) arguments << QString::fromStdString(a);
    const int exit = ctl::runKorvelctl(arguments, line, ctl::Terminal{out, err, false});
    return {exit, out.str(), err.str()};
}

// A temporary folder holding b.json, a backup of the demo system.
struct BackupFolder {
    BackupFolder() {
        MemoryLine line;
        EXPECT_EQ(runCtl(line, {"-p", "1", "backup", path("b.json")}).exit, ctl::kExitOk);
    }
    std::string path(const char* name) const { return dir.filePath(name).toStdString(); }
    QTemporaryDir dir;
};

}  // namespace korvel::testing
