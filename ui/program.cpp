#include "ui/program.h"

#include <QApplication>

#include "net_serial/net_serial_port.h"
#include "ui/main_window.h"
#include "ui/qt_prompter.h"
#include "ui/style.h"
#include "ui/translations.h"

namespace korvel::ui {

int runProgram(int& argc, char** argv, const std::function<void(QtSerialPort&)>& preparePort) {
    QApplication app(argc, argv);
    applyApplicationStyle(app);
    installTranslations(app, QLocale::system());

    QtSerialPort serial;
    if (preparePort) preparePort(serial);
    net::NetSerialPort network;
    net::RoutedPort port(serial, network);
    SteadyClock clock;
    QtPrompter prompter;
    MainWindow window(port, clock, prompter);
    window.offerNetworkPorts(port);
    prompter.setParent(&window);
    window.show();
    return app.exec();
}

}  // namespace korvel::ui
