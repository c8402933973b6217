// The program with a simulated Korvel system served on a pseudo-terminal as
// port 1. "--classic" serves a controller of protocol version 3100 instead.
#include <QApplication>
#include <cstring>

#include "qt_serial/qt_serial_port.h"
#include "sim/pty_server.h"
#include "ui/main_window.h"
#include "ui/qt_prompter.h"
#include "ui/style.h"

int main(int argc, char** argv) {
    const bool classic = argc > 1 && std::strcmp(argv[1], "--classic") == 0;
    korvel::sim::PtyServer simulator(classic ? korvel::sim::classicDemoSystem()
                                             : korvel::sim::demoSystem());

    QApplication app(argc, argv);
    korvel::ui::applyApplicationStyle(app);

    korvel::QtSerialPort port;
    port.overrideDevice(1, simulator.devicePath());
    korvel::SteadyClock clock;
    korvel::ui::QtPrompter prompter;
    korvel::ui::MainWindow window(port, clock, prompter);
    prompter.setParent(&window);
    window.show();
    return app.exec();
}
