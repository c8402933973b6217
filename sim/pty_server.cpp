#include "sim/pty_server.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

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

void PtyServer::vanish() {
    std::lock_guard lock(mutex_);
    // Hanging up the slave side makes every open file on it fail, as a pulled adapter does.
    if (slave_ >= 0) {
        ::close(slave_);
        slave_ = -1;
    }
    if (master_ >= 0) {
        ::close(master_);
        master_ = -1;
    }
}

std::chrono::nanoseconds PtyServer::cpuTime() {
    clockid_t id{};
    timespec t{};
    if (pthread_getcpuclockid(thread_.native_handle(), &id) != 0 || clock_gettime(id, &t) != 0)
        return std::chrono::nanoseconds(0);
    return std::chrono::seconds(t.tv_sec) + std::chrono::nanoseconds(t.tv_nsec);
}

bool PtyServer::sleepFor(std::chrono::nanoseconds d) {
    const auto end = std::chrono::steady_clock::now() + d;
    while (!stop_ && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::min<std::chrono::nanoseconds>(
            end - std::chrono::steady_clock::now(), std::chrono::milliseconds(5)));
    return !stop_;
}

void PtyServer::answer(std::vector<SimAnswer> answers) {
    for (const SimAnswer& a : answers) {
        if (a.delay.count() > 0 && !sleepFor(a.delay)) return;
        const auto byteTime = byteTime_.load();
        if (byteTime.count() > 0) sleepFor(byteTime * static_cast<long>(a.bytes.size()));
        std::lock_guard lock(mutex_);
        if (master_ < 0) return;
        std::size_t done = 0;
        while (done < a.bytes.size()) {
            const ssize_t n = ::write(master_, a.bytes.data() + done, a.bytes.size() - done);
            if (n <= 0) return;
            done += static_cast<std::size_t>(n);
            bytesOut_ += static_cast<std::size_t>(n);
        }
    }
}

void PtyServer::run() {
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
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 20) <= 0 || !(p.revents & POLLIN)) continue;
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0) continue;
        bytesIn_ += static_cast<std::size_t>(n);
        const auto byteTime = byteTime_.load();
        if (byteTime.count() > 0) sleepFor(byteTime * n);
        std::vector<SimAnswer> answers;
        {
            std::lock_guard lock(mutex_);
            answers = controller_.receive({buffer, static_cast<std::size_t>(n)});
            if (controller_.vanished()) {
                if (slave_ >= 0) ::close(slave_), slave_ = -1;
                if (master_ >= 0) ::close(master_), master_ = -1;
                continue;
            }
        }
        answer(std::move(answers));
    }
}

}  // namespace korvel::sim
