// The program with a simulated Korvel system served on a pseudo-terminal as
// port 1. "--classic" serves a controller of protocol version 3100 instead.
#include <cstring>

#include "sim/pty_server.h"
#include "ui/program.h"

int main(int argc, char** argv) {
    const bool classic = argc > 1 && std::strcmp(argv[1], "--classic") == 0;
    korvel::sim::PtyServer simulator(classic ? korvel::sim::classicDemoSystem()
                                             : korvel::sim::demoSystem());
    return korvel::ui::runProgram(argc, argv, [&](korvel::QtSerialPort& port) {
        port.overrideDevice(1, simulator.devicePath());
    });
}
