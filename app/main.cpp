#include "command_line.h"
#include "ui/program.h"

namespace {

constexpr const char* kHelp =
    "Usage: korvelconfig [--help | --version]\n"
    "\n"
    "Services a Korvel bus-controller system over a serial line or a serial device\n"
    "server: pick the port in the window, then press Status. The program keeps\n"
    "nothing between runs and reads no other option; Qt's own, such as -style NAME,\n"
    "are Qt's.\n"
    "\n"
    "Options:\n"
    "  -h, --help     print this help and exit\n"
    "  --version      print the version and exit\n";

}  // namespace

int main(int argc, char** argv) {
    if (const auto status = korvel::app::answerHelpOrVersion(argc, argv, "korvelconfig", kHelp))
        return *status;
    return korvel::ui::runProgram(argc, argv);
}
