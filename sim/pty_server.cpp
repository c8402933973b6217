#include "sim/pty_server.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <stdexcept>

namespace korvel::sim {

namespace {
void makeRaw(int fd) {
    termios t{};
    if (tcgetattr(fd, &t) != 0) return;
    cfmakeraw(&t);
    cfsetispeed(&t, B19200);
    cfsetospeed(&t, B19200);
    tcsetattr(fd, TCSANOW, &t);
}
}  // namespace

PtyServer::PtyServer(SimSystem system) : controller_(std::move(system)) {
    char name[256] = {};
    if (openpty(&master_, &slave_, name, nullptr, nullptr) != 0)
        throw std::runtime_error("cannot open a pseudo-terminal");
    // Both ends raw before the program opens the port; the slave stays open
    // here so the master never sees a hang-up flood between the program's opens.
    makeRaw(master_);
    makeRaw(slave_);
    devicePath_ = name;
    thread_ = std::thread([this] { run(); });
}

PtyServer::~PtyServer() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (master_ >= 0) ::close(master_);
    if (slave_ >= 0) ::close(slave_);
}

bool PtyServer::lineSettings(termios& settings) {
    std::lock_guard lock(mutex_);
    return master_ >= 0 && ::tcgetattr(master_, &settings) == 0;
}

void PtyServer::vanish() {
    std::lock_guard lock(mutex_);
    hangUp();
}

// Closing the master hangs up the slave side: every open file on it fails, as
// when a USB adapter is pulled, and its name leaves /dev/pts. Our own slave stays
// open until the server goes, so no other pseudo-terminal, of this process or
// another, takes the vanished device's name meanwhile.
void PtyServer::hangUp() {
    if (master_ >= 0) {
        ::close(master_);
        master_ = -1;
    }
}

termios PtyServer::lineSettings() {
    std::lock_guard lock(mutex_);
    termios t{};
    if (master_ >= 0) tcgetattr(master_, &t);
    return t;
}

std::chrono::nanoseconds PtyServer::cpuTime() {
    clockid_t id{};
    timespec t{};
    if (pthread_getcpuclockid(thread_.native_handle(), &id) != 0 || clock_gettime(id, &t) != 0)
        return std::chrono::nanoseconds(0);
    return std::chrono::seconds(t.tv_sec) + std::chrono::nanoseconds(t.tv_nsec);
}

bool PtyServer::sleepUntil(WireClock::time_point t) {
    while (!stop_ && WireClock::now() < t)
        std::this_thread::sleep_until(std::min(t, WireClock::now() + std::chrono::milliseconds(5)));
    return !stop_;
}

bool PtyServer::writeToLine(std::span<const std::uint8_t> bytes) {
    std::lock_guard lock(mutex_);
    if (master_ < 0) return false;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
        bytesOut_ += static_cast<std::size_t>(n);
    }
    return true;
}

// The answer's bytes follow each other on the line from `ready` on; each is
// handed over when its last bit has arrived. A late wake-up of this thread
// delays that byte only, never the line's own schedule.
void PtyServer::send(const SimAnswer& answer, WireClock::time_point ready) {
    const auto byteTime = byteTime_.load();
    if (byteTime.count() == 0) {
        if (sleepUntil(ready)) writeToLine(answer.bytes);
        return;
    }
    WireClock::time_point t = std::max(ready, outboundFree_);
    for (const std::uint8_t& byte : answer.bytes) {
        t += byteTime;
        if (!sleepUntil(t) || !writeToLine({&byte, 1})) return;
        outboundFree_ = t;
    }
}

// Bytes read together were written together; on the line they still come in
// one after the other, from the moment they were seen.
void PtyServer::receive(std::span<const std::uint8_t> bytes, WireClock::time_point arrived) {
    const auto byteTime = byteTime_.load();
    for (const std::uint8_t& byte : bytes) {
        inboundFree_ = std::max(arrived, inboundFree_) + byteTime;
        std::vector<SimAnswer> answers;
        {
            std::lock_guard lock(mutex_);
            answers = controller_.receive({&byte, 1});
            if (controller_.vanished()) {
                hangUp();
                return;
            }
        }
        for (SimAnswer& a : answers) {
            if (a.aside)
                aside_.emplace(inboundFree_ + a.delay, std::move(a));
            else
                send(a, inboundFree_ + a.delay);
        }
    }
}

void PtyServer::sendDueAnswers() {
    while (!aside_.empty() && aside_.begin()->first <= WireClock::now()) {
        const auto due = aside_.begin();
        send(due->second, due->first);
        aside_.erase(due);
    }
}

int PtyServer::msUntilNextAnswer() const {
    constexpr int kIdlePoll = 20;
    if (aside_.empty()) return kIdlePoll;
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(aside_.begin()->first - WireClock::now());
    return std::clamp(static_cast<int>(left.count()), 0, kIdlePoll);
}

void PtyServer::run() {
    // The line keeps its own time; the default timer slack would add to every byte.
    prctl(PR_SET_TIMERSLACK, 1UL);
    std::uint8_t buffer[256];
    while (!stop_) {
        int fd = -1;
        {
            std::lock_guard lock(mutex_);
            fd = master_;
            // A non-root program must be able to reopen the port after it closed
            // it; our own open slave keeps the exclusive flag set otherwise.
            if (slave_ >= 0) ioctl(slave_, TIOCNXCL);
        }
        if (fd < 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            continue;
        }
        sendDueAnswers();
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, msUntilNextAnswer()) <= 0 || !(p.revents & POLLIN)) continue;
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0) continue;
        bytesIn_ += static_cast<std::size_t>(n);
        receive({buffer, static_cast<std::size_t>(n)}, WireClock::now());
    }
}

}  // namespace korvel::sim
