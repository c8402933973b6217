#pragma once

namespace korvel::ctl {

// SIGINT and SIGTERM ask a command to stop: the exchange in hand runs to its
// end, then the command says what it did and exits 128 + the signal's number.
void catchStopSignals();
// The signal that asked to stop, or 0.
int stopSignal();
// For tests: as if `signal` had arrived (0 clears it).
void setStopSignal(int signal);

}  // namespace korvel::ctl
