#pragma once

#include <memory>

#include "ctl/terminal.h"
#include "net_serial/net_serial_port.h"
#include "qt_serial/qt_serial_port.h"
#include "sim/pty_server.h"

namespace korvel::ctl {

// The program's line: QSerialPort on a port number, a device path, or the
// simulated system served on a pseudo-terminal for --demo; a device server
// for a tcp:// or rfc2217:// address.
class QtLineAccess final : public LineAccess {
  public:
    SerialPort& port() override { return port_; }
    Clock& clock() override { return clock_; }
    PortSpec choose(const std::optional<PortSpec>& given) override;

  private:
    std::unique_ptr<sim::PtyServer> demo_;
    QtSerialPort serial_;
    net::NetSerialPort network_;
    net::RoutedPort port_{serial_, network_};
    SteadyClock clock_;
};

}  // namespace korvel::ctl
