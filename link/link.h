#pragma once

#include <functional>
#include <string>

#include "link/frame.h"
#include "link/prompter.h"
#include "link/serial_port.h"

namespace korvel {

// The one road to the bus controller: one request frame out, one answer frame
// back, both written to the message log. Owns ReplyBuffer and ToggleBit.
class Link {
  public:
    Link(SerialPort& port, Clock& clock, Prompter& prompter, LogSink& log, PollSwitch& poll);
    ~Link();
    Link(const Link&) = delete;
    Link& operator=(const Link&) = delete;

    // Sends `frame` and waits for its answer. True when an answer arrived (it is
    // in reply()); false after "Geen antwoord van Korvel".
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

    // Receives every answer to an empty frame that carries data: the messages
    // the controller held for the program (module answers, settings reports).
    void setAnswerListener(std::function<void(const ReplyBuffer&)> listener) {
        answerListener_ = std::move(listener);
    }
    // Told after the line failed, during an exchange or between exchanges,
    // once the one notice has been shown and the port is closed.
    void setLineLostListener(std::function<void()> listener) {
        lineLostListener_ = std::move(listener);
    }

    // While one lives, an unanswered exchange costs only itself; a second in a
    // row means the controller has gone silent: no further box, and every
    // exchange after it fails at once, as on a vanished line.
    class LossTolerance {
      public:
        explicit LossTolerance(Link& link);
        ~LossTolerance();
        LossTolerance(const LossTolerance&) = delete;
        LossTolerance& operator=(const LossTolerance&) = delete;

      private:
        Link& link_;
    };
    // True after two unanswered exchanges in a row under a LossTolerance.
    bool controllerSilent() const { return silent_; }

    SerialPort& port() { return port_; }
    Clock& clock() { return clock_; }
    Prompter& prompter() { return prompter_; }

  private:
    void drain();
    std::string send(const Frame& frame);
    std::string awaitAnswer(const Frame& frame, const std::string& request);
    void logAnswer(const Frame& frame, const std::string& request, const std::string& answer);
    void reportNoAnswer();
    void reportLineLost();

    SerialPort& port_;
    Clock& clock_;
    Prompter& prompter_;
    LogSink& log_;
    PollSwitch& poll_;
    ReplyBuffer reply_;
    ExchangeRecord record_;  // the exchange in hand, for LogSink::exchanged
    int toggleBit_ = 0;
    bool stop_ = true;
    bool polling_ = false;
    bool tolerant_ = false;
    int unansweredInRow_ = 0;
    bool silent_ = false;
    std::function<void(const ReplyBuffer&)> answerListener_;
    std::function<void()> lineLostListener_;
};

// The check every sending operation makes first: shows "Selecteer communicatie
// poort" and returns false when no port is open.
bool requirePortOpen(Link& link);

}  // namespace korvel
