#include "ui/program.h"

#include <QApplication>

#include "ui/main_window.h"
#include "ui/qt_prompter.h"
#include "ui/style.h"

namespace korvel::ui {

int runProgram(int& argc, char** argv, const std::function<void(QtSerialPort&)>& preparePort) {
    QApplication app(argc, argv);
    applyApplicationStyle(app);

    QtSerialPort port;
    if (preparePort) preparePort(port);
    SteadyClock clock;
    QtPrompter prompter;
    MainWindow window(port, clock, prompter);
    prompter.setParent(&window);
    window.show();
    return app.exec();
}

}  // namespace korvel::ui
