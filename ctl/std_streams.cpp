#include "ctl/std_streams.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "ctl/stop_signal.h"

namespace korvel::ctl {

namespace {

// Waits at most 100 ms for `fd` to be readable; false when a stop signal came.
bool awaitInput(int fd) {
    pollfd p{fd, POLLIN, 0};
    while (!stopSignal()) {
        if (::poll(&p, 1, 100) > 0) return true;
    }
    return false;
}

}  // namespace

bool FdOutput::drain() {
    const char* at = pbase();
    while (at < pptr() && error_.empty()) {
        const ssize_t n = ::write(fd_, at, static_cast<std::size_t>(pptr() - at));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) error_ = n < 0 ? std::strerror(errno) : "nothing was taken";
        if (n > 0) at += n;
    }
    setp(buffer_, buffer_ + sizeof buffer_);
    return error_.empty();
}

FdOutput::int_type FdOutput::overflow(int_type c) {
    if (!drain()) return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) sputc(traits_type::to_char_type(c));
    return traits_type::not_eof(c);
}

int FdOutput::sync() {
    return drain() ? 0 : -1;
}

std::string FdOutput::close() {
    drain();
    if (fd_ >= 0 && ::close(fd_) != 0 && error_.empty() && errno != EINTR)
        error_ = std::strerror(errno);
    fd_ = -1;
    return error_;
}

std::optional<std::string> readAll(int fd, std::size_t limit, std::string& error) {
    std::string text;
    char buffer[65536];
    for (;;) {
        if (!awaitInput(fd)) {
            error = "stopped";
            return std::nullopt;
        }
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0) return text;
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN) continue;
            error = std::strerror(errno);
            return std::nullopt;
        }
        if (text.size() + static_cast<std::size_t>(n) > limit) return std::nullopt;
        text.append(buffer, static_cast<std::size_t>(n));
    }
}

std::optional<std::string> readLine(int fd) {
    std::string line;
    for (char c = 0;;) {
        if (!awaitInput(fd)) return std::nullopt;
        const ssize_t n = ::read(fd, &c, 1);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (n <= 0) return line.empty() ? std::nullopt : std::optional(line);
        if (c == '\n') return line;
        line += c;
    }
}

}  // namespace korvel::ctl
