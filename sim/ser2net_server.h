#pragma once

#include <sys/types.h>

#include <string>

namespace korvel::sim {

// A real ser2net serving one device on a free port of the loopback interface,
// with a configuration written for it. Started by the constructor.
class Ser2netServer {
  public:
    // `accepter`: "" (raw TCP), "telnet(rfc2217)" or "telnet"; `line`: the
    // settings ser2net opens the device with, e.g. "19200n81".
    Ser2netServer(const std::string& device, const std::string& accepter, const std::string& line);
    ~Ser2netServer();
    Ser2netServer(const Ser2netServer&) = delete;
    Ser2netServer& operator=(const Ser2netServer&) = delete;

    // Starts it (again, on the same port); returns once it listens.
    void start();
    // Kills it and waits until it is gone, its connections closed.
    void stop();

    int port() const { return port_; }
    // "tcp://127.0.0.1:PORT" and the like.
    std::string address(const std::string& scheme) const;

  private:
    std::string dir_;
    std::string config_;
    int port_ = 0;
    pid_t pid_ = -1;
};

// A loopback port nobody listens on at the moment of asking.
int freeLoopbackPort();

}  // namespace korvel::sim
