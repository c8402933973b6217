#pragma once

#include <functional>

#include "qt_serial/qt_serial_port.h"

namespace korvel::ui {

// Runs the program until its main window closes. `preparePort` may point port
// numbers elsewhere before the window lists them, as the demo does.
int runProgram(int& argc, char** argv, const std::function<void(QtSerialPort&)>& preparePort = {});

}  // namespace korvel::ui
