#include "bench/bench_support.h"

#include <sys/resource.h>

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

PtyRig::PtyRig(sim::SimSystem system, std::chrono::nanoseconds byteTime)
    : server(std::move(system)) {
    server.setByteTime(byteTime);
    port.overrideDevice(1, server.devicePath());
    if (!port.open(1)) std::fprintf(stderr, "cannot open %s\n", server.devicePath().c_str());
}

}  // namespace korvel::bench
