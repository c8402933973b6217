#pragma once

namespace korvel::ctl {

// SIGINT and SIGTERM ask a command to stop: the link asks stopSignal() before
// every exchange and at least every 100 ms of every wait (opening included), so
// the exchange in hand ends at once; the command then says what it did and
// exits 128 + the signal's number.
void catchStopSignals();
// The signal that asked to stop, or 0.
int stopSignal();
// For tests: as if `signal` had arrived (0 clears it).
void setStopSignal(int signal);

}  // namespace korvel::ctl
