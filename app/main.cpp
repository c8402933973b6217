#include <QApplication>

#include "qt_serial/qt_serial_port.h"
#include "ui/main_window.h"
#include "ui/qt_prompter.h"
#include "ui/style.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    korvel::ui::applyApplicationStyle(app);

    korvel::QtSerialPort port;
    korvel::SteadyClock clock;
    korvel::ui::QtPrompter prompter;
    korvel::ui::MainWindow window(port, clock, prompter);
    prompter.setParent(&window);
    window.show();
    return app.exec();
}
