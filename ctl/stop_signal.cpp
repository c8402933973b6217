#include "ctl/stop_signal.h"

#include <csignal>

namespace korvel::ctl {

namespace {

volatile std::sig_atomic_t caught = 0;

extern "C" void onStopSignal(int signal) {
    caught = signal;
}

}  // namespace

void catchStopSignals() {
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    // Restarted system calls are fine: no wait on the line is longer than the
    // link's slice, after which it asks stopSignal().
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

int stopSignal() {
    return caught;
}

void setStopSignal(int signal) {
    caught = signal;
}

}  // namespace korvel::ctl
