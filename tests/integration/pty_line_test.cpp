// The simulated serial line itself: with a byte time set, every byte takes
// that long, bytes follow each other, and an answer starts once its frame is in.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <vector>

#include "link/frame.h"
#include "sim/pty_server.h"

namespace korvel {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Long enough that a busy machine cannot blur one byte into the next.
constexpr auto kByte = 100ms;

// The program's end of the line, read as the bytes come.
class LineEnd {
  public:
    explicit LineEnd(const std::string& device) : fd_(::open(device.c_str(), O_RDWR | O_NOCTTY)) {}
    ~LineEnd() {
        if (fd_ >= 0) ::close(fd_);
    }
    LineEnd(const LineEnd&) = delete;
    LineEnd& operator=(const LineEnd&) = delete;

    bool isOpen() const { return fd_ >= 0; }
    bool write(const std::vector<std::uint8_t>& bytes) {
        return ::write(fd_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    }
    // The time each byte arrived, up to `count` bytes or 5 s.
    std::vector<Clock::time_point> arrivals(std::size_t count) {
        std::vector<Clock::time_point> times;
        const Clock::time_point end = Clock::now() + 5s;
        while (times.size() < count && Clock::now() < end) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 100) <= 0) continue;
            std::uint8_t buffer[16];
            const ssize_t n = ::read(fd_, buffer, sizeof buffer);
            for (ssize_t i = 0; i < n; ++i) times.push_back(Clock::now());
        }
        return times;
    }

  private:
    int fd_;
};

std::vector<std::uint8_t> emptyFrame() {
    return encodeRequest(Frame{}, false, false);
}

struct PtyLine : ::testing::Test {
    PtyLine() : server(sim::demoSystem()), line(server.devicePath()) { server.setByteTime(kByte); }
    sim::PtyServer server;
    LineEnd line;
};

TEST_F(PtyLine, EveryByteTakesItsTimeAndEachFrameIsAnsweredWhenItIsIn) {
    ASSERT_TRUE(line.isOpen());
    std::vector<std::uint8_t> frames = emptyFrame();
    const std::vector<std::uint8_t> second = encodeRequest(Frame{}, false, true);
    frames.insert(frames.end(), second.begin(), second.end());
    const Clock::time_point start = Clock::now();
    ASSERT_TRUE(line.write(frames));
    const std::vector<Clock::time_point> answers = line.arrivals(4);
    ASSERT_EQ(answers.size(), 4u);
    // Two bytes in, then the answer's two bytes out, one after the other: the
    // first answer does not wait for the second frame's bytes.
    EXPECT_GE(answers[0] - start, 3 * kByte);
    EXPECT_LT(answers[0] - start, 4 * kByte);
    EXPECT_GE(answers[1] - start, 4 * kByte);
    EXPECT_LT(answers[1] - start, 5 * kByte);
    EXPECT_GE(answers[3] - start, 6 * kByte);
    EXPECT_EQ(server.bytesIn(), 4u);
    EXPECT_EQ(server.bytesOut(), 4u);
    EXPECT_GT(server.cpuTime().count(), 0);
}

}  // namespace
}  // namespace korvel
