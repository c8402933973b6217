#pragma once

#include <functional>

#include "link/frame.h"
#include "link/prompter.h"
#include "link/serial_port.h"

namespace korvel {

// The one road to the bus controller: one request frame out, one answer frame
// back, both written to the message log. Owns ReplyBuffer and ToggleBit.
class Link {
  public:
    Link(SerialPort& port, Clock& clock, Prompter& prompter, LogSink& log, PollSwitch& poll);

    // Sends `frame` and waits for the answer. True when a valid answer arrived
    // (it is in reply()); false after "Geen antwoord van Korvel".
    bool Transact(const Frame& frame);
    // One tick of the poll timer: an empty frame while the port is open.
    void pollTick();

    const ReplyBuffer& reply() const { return reply_; }
    bool portOpen() const { return port_.isOpen(); }
    bool polling() const { return polling_; }
    void setPolling(bool on);
    int toggleBit() const { return toggleBit_; }
    // The "Stop" box, sent as bit 5 of every header.
    void setStopFlag(bool stop) { stop_ = stop; }
    bool stopFlag() const { return stop_; }

    // Receives the answers to empty frames that look like a KX settings report.
    void setSettingsReportHandler(std::function<void(const ReplyBuffer&)> handler) {
        settingsReport_ = std::move(handler);
    }

    SerialPort& port() { return port_; }
    Clock& clock() { return clock_; }
    Prompter& prompter() { return prompter_; }

  private:
    static bool isSettingsReport(const ReplyBuffer& reply);

    SerialPort& port_;
    Clock& clock_;
    Prompter& prompter_;
    LogSink& log_;
    PollSwitch& poll_;
    ReplyBuffer reply_;
    int toggleBit_ = 0;
    bool stop_ = true;
    bool polling_ = false;
    std::function<void(const ReplyBuffer&)> settingsReport_;
};

// The check every sending operation makes first: shows "Selecteer communicatie
// poort" and returns false when no port is open.
bool requirePortOpen(Link& link);

}  // namespace korvel
