#pragma once

#include <memory>

#include "ctl/terminal.h"
#include "qt_serial/qt_serial_port.h"
#include "sim/pty_server.h"

namespace korvel::ctl {

// The program's line: QSerialPort on a port number, a device path, or the
// simulated system served on a pseudo-terminal for --demo.
class QtLineAccess final : public LineAccess {
  public:
    SerialPort& port() override { return port_; }
    Clock& clock() override { return clock_; }
    int choose(const std::string& portValue, bool demo) override;

  private:
    std::unique_ptr<sim::PtyServer> demo_;
    QtSerialPort port_;
    SteadyClock clock_;
};

}  // namespace korvel::ctl
