#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <sstream>

#include "ctl/cli.h"
#include "sim/handlers.h"
#include "sim/memory_port.h"

namespace korvel::testing {

// The simulated system behind the in-memory port; -p 1 and --demo both reach it.
struct MemoryLine final : ctl::LineAccess {
    explicit MemoryLine(sim::SimSystem system = sim::demoSystem())
        : controller(std::move(system)) {}
    SerialPort& port() override { return memory; }
    Clock& clock() override { return fake; }
    PortSpec choose(const std::optional<PortSpec>&) override { return PortSpec::port(1); }

    sim::SimController controller;
    sim::FakeClock fake;
    sim::MemoryPort memory{controller, fake};
};

// Permanent settings a user changed since the backup, on every kind of module.
inline void changeSettings(sim::SimSystem& s) {
    const auto kx = [&](int n) -> sim::SimModule& {
        return *sim::findModule(s, sim::ModuleFamily::KX, n);
    };
    kx(0).kxPermanent.value[1] = 3;         // hfi
    kx(0).kxPermanent.value[7] = 5;         // switch-delay --on --bank 1
    kx(0).kxPermanent.value[11] = 2;        // ms
    kx(2).kxSecondPermanent.value[9] = 16;  // pwm of kx:2.1
    kx(3).kxPermanent.value[14] = 33;       // loop-current --loop B
    sim::findModule(s, sim::ModuleFamily::ZR, 1)->zrPermanent.defaultTime = 30;
    sim::findModule(s, sim::ModuleFamily::ZR, 6)->zrPermanent.devices[63] = {99, 3};
}

struct CtlRun {
    int exit;
    std::string out, err;
};

// Every JSON object a run of the suite printed, kept for the schema check
// (by the test programs that say where).
inline void keepJsonOutput([[maybe_unused]] const QStringList& arguments,
                           [[maybe_unused]] const std::string& out) {
#ifdef KORVEL_JSON_OUTPUTS
    QDir().mkpath(KORVEL_JSON_OUTPUTS);
    const QString name =
        QString::number(qHash(arguments.join('\x1f') + QString::fromStdString(out)), 16) + ".json";
    QFile file(QDir(KORVEL_JSON_OUTPUTS).filePath(name));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(out.data(), static_cast<qint64>(out.size()));
#endif
}

// `input`, when given, is a terminal that answers questions; `standardInput`
// is what "-" reads.
inline CtlRun runCtl(ctl::LineAccess& line, const std::vector<std::string>& args,
                     std::istream* input = nullptr, std::istream* standardInput = nullptr) {
    std::ostringstream out, err;
    QStringList arguments{"korvelctl"};
    for (const std::string& a : args) arguments << QString::fromStdString(a);
    const int exit =
        ctl::runKorvelctl(arguments, line, ctl::Terminal{out, err, false, input, standardInput});
    if (arguments.contains("--json")) keepJsonOutput(arguments, out.str());
    return {exit, out.str(), err.str()};
}

// A temporary folder holding b.json, a backup of the demo system.
struct BackupFolder {
    BackupFolder() {
        MemoryLine line;
        EXPECT_EQ(runCtl(line, {"-p", "1", "backup", path("b.json")}).exit, ctl::kExitOk);
        QFile file(dir.filePath("b.json"));
        if (file.open(QIODevice::ReadOnly))
            keepJsonOutput({"backup-file"}, file.readAll().toStdString());
    }
    std::string path(const char* name) const { return dir.filePath(name).toStdString(); }
    QTemporaryDir dir;
};

}  // namespace korvel::testing
