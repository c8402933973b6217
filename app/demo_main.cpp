// The program with a simulated Korvel system served on a pseudo-terminal as
// port 1. "--classic" serves a controller of protocol version 3100 instead.
#include <cstring>

#include "command_line.h"
#include "sim/pty_server.h"
#include "ui/program.h"

namespace {

constexpr const char* kHelp =
    "Usage: korvelconfig-demo [--classic] [--help | --version]\n"
    "\n"
    "The program with a simulated Korvel system served on a pseudo-terminal as\n"
    "port 1, to try it without a controller: pick port 1, then press Status.\n"
    "It reads no other option; Qt's own, such as -style NAME, are Qt's.\n"
    "\n"
    "Options:\n"
    "  --classic      simulate a controller of protocol version 3100\n"
    "  -h, --help     print this help and exit\n"
    "  --version      print the version and exit\n";

}  // namespace

int main(int argc, char** argv) {
    if (const auto status =
            korvel::app::answerHelpOrVersion(argc, argv, "korvelconfig-demo", kHelp))
        return *status;
    const bool classic = argc > 1 && std::strcmp(argv[1], "--classic") == 0;
    korvel::sim::PtyServer simulator(classic ? korvel::sim::classicDemoSystem()
                                             : korvel::sim::demoSystem());
    return korvel::ui::runProgram(argc, argv, [&](korvel::QtSerialPort& port) {
        port.overrideDevice(1, simulator.devicePath());
    });
}
