#include "bench/bench_support.h"

#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>

namespace korvel::bench {

double seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

double wireSeconds(std::size_t bytes) {
    return seconds(kByteTime) * static_cast<double>(bytes);
}

double processCpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

double threadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

double programCpuSeconds(sim::PtyServer& server) {
    return processCpuSeconds() - seconds(server.cpuTime());
}

double Samples::min() const {
    return *std::min_element(values.begin(), values.end());
}

double Samples::max() const {
    return *std::max_element(values.begin(), values.end());
}

double Samples::quantile(double q) const {
    std::vector<double> sorted = values;
    std::sort(sorted.begin(), sorted.end());
    const double at = q * static_cast<double>(sorted.size() - 1);
    const auto below = static_cast<std::size_t>(at);
    const std::size_t above = std::min(below + 1, sorted.size() - 1);
    return sorted[below] + (at - static_cast<double>(below)) * (sorted[above] - sorted[below]);
}

void printFigure(int number, const std::string& name) {
    std::printf("\n%d. %s\n", number, name.c_str());
    std::fflush(stdout);
}

void printLine(const char* format, ...) {
    std::fputs("   ", stdout);
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

const char* verdict(bool met) {
    return met ? "met" : "MISSED";
}

TimedPort::Times TimedPort::take() {
    Times taken = std::move(times_);
    times_ = {};
    lastRead_.reset();
    return taken;
}

bool TimedPort::readByte(std::uint8_t& byte) {
    if (!port_.readByte(byte)) return false;
    lastRead_ = Clock::now();
    return true;
}

void TimedPort::write(std::span<const std::uint8_t> bytes) {
    const Clock::time_point start = Clock::now();
    if (lastRead_) times_.turns.add(seconds(start - *lastRead_));
    lastRead_.reset();
    port_.write(bytes);
    times_.writes.add(seconds(Clock::now() - start));
}

PtyRig::PtyRig(sim::SimSystem system, std::chrono::nanoseconds byteTime)
    : server(std::move(system)) {
    server.setByteTime(byteTime);
    device.overrideDevice(1, server.devicePath());
    if (!port.open(1)) std::fprintf(stderr, "cannot open %s\n", server.devicePath().c_str());
}

}  // namespace korvel::bench
