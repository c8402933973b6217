#include "link/frame.h"

#include <gtest/gtest.h>

#include "link/receiver.h"
#include "sim/memory_port.h"

namespace korvel {
namespace {

TEST(Frame, HeaderAndCheckBytesOfWorkedExamples) {
    EXPECT_EQ(encodeRequest(Frame{}, false, false), (std::vector<std::uint8_t>{0x08, 0xF8}));
    EXPECT_EQ(encodeRequest(Frame{}, true, false), (std::vector<std::uint8_t>{0x28, 0xD8}));
    EXPECT_EQ(encodeRequest(Frame{}, false, true), (std::vector<std::uint8_t>{0x48, 0xB8}));
    // Reset Fault with Stop ticked, the first frame after start.
    EXPECT_EQ(encodeRequest(Frame{1, 0}, true, false),
              (std::vector<std::uint8_t>{0x2A, 0x81, 0x80, 0xD5}));
    EXPECT_EQ(headerByte(7, false, false), 15);
}

TEST(Frame, EveryRequestSumsToZeroInSevenBits) {
    for (int count = 0; count <= 7; ++count) {
        for (int v = 0; v < 128; v += 9) {
            Frame f = Frame{v, 127 - v, v / 2, 127, 0, v, 1}.first(count);
            const auto wire = encodeRequest(f, count % 2 == 0, v % 2 == 0);
            unsigned sum = 0;
            for (std::uint8_t b : wire) sum += b & 0x7F;
            EXPECT_EQ(sum % 128, 0u) << "count " << count << " v " << v;
            EXPECT_EQ(wire.size(), static_cast<std::size_t>(count + 2));
            EXPECT_GE(wire.back(), 128);
        }
    }
}

TEST(Frame, OutOfRangeValuesCannotBeBuilt) {
    EXPECT_THROW(CommandByte(128), std::out_of_range);
    EXPECT_THROW(CommandByte(-1), std::out_of_range);
    EXPECT_THROW((Frame{1, 2, 3, 4, 5, 6, 7, 8}), std::length_error);
    EXPECT_THROW(headerByte(8, false, false), std::length_error);
}

TEST(Frame, LogByteTextDropsBit7) {
    EXPECT_EQ(FormatLogByte(0x85), " 05");
    EXPECT_EQ(FormatLogByte(0x2A), " 2A");
    EXPECT_EQ(FormatLogByte(0xF8), " 78");
    EXPECT_EQ(FormatLogByte(0x00), " 00");
}

// The receiver against bytes placed on an in-memory line.
class Receiver : public ::testing::Test {
  protected:
    std::string receive(std::vector<std::uint8_t> bytes) {
        port.inject(bytes);
        return ReceiveFrame(port, clock, buffer);
    }
    sim::SimController controller{sim::SimSystem{}};
    sim::FakeClock clock;
    sim::MemoryPort port{controller, clock};
    ReplyBuffer buffer;
};

TEST_F(Receiver, AcceptsEmptyAndDataFrames) {
    port.open(1);
    EXPECT_EQ(receive({0x08, 0xF8}), " 08 78");
    EXPECT_EQ(buffer.bytes, (std::array<std::uint8_t, 10>{8, 120}));
    EXPECT_EQ(receive({0x0A, 0x81, 0x82, 0xF3}), " 0A 01 02 73");
    EXPECT_EQ(buffer[1], 1);
    EXPECT_EQ(buffer[2], 2);
    EXPECT_EQ(buffer[3], 115);
}

TEST_F(Receiver, RejectsWrongCheckButKeepsWhatArrived) {
    port.open(1);
    EXPECT_EQ(receive({0x0A, 0x81, 0x82, 0xF4}), "");
    EXPECT_EQ(buffer[0], 0x0A);
    EXPECT_EQ(buffer[3], 116);
}

TEST_F(Receiver, DropsGarbageAndResynchronisesOnHeaders) {
    port.open(1);
    EXPECT_EQ(receive({0x90, 0x91, 0x08, 0xF8}), " 08 78");
    // A header, one data byte, then a new header: the frame starts again.
    EXPECT_EQ(receive({0x0C, 0x85, 0x0A, 0x81, 0x82, 0xF3}), " 0A 01 02 73");
    EXPECT_EQ(buffer[4], 0);
}

TEST_F(Receiver, SevenDataBytesPutTheCheckAtIndex8) {
    port.open(1);
    std::vector<std::uint8_t> bytes{0x0F};
    unsigned sum = 0x0F;
    for (int i = 1; i <= 7; ++i) bytes.push_back(static_cast<std::uint8_t>(0x80 + i)), sum += i;
    bytes.push_back(static_cast<std::uint8_t>(128 + (128 - sum % 128) % 128));
    EXPECT_EQ(receive(bytes).size(), 27u);
    EXPECT_EQ(buffer[7], 7);
    EXPECT_EQ(buffer[8], (128 - sum % 128) % 128);
    EXPECT_EQ(buffer[9], 0);
}

TEST_F(Receiver, GivesUpAfterTwoSecondsFromTheStart) {
    port.open(1);
    const auto start = clock.now();
    EXPECT_EQ(receive({0x0A, 0x81}), "");  // a frame that never completes
    EXPECT_GE(clock.now() - start, kReplyTimeout);
    EXPECT_LT(clock.now() - start, kReplyTimeout + std::chrono::milliseconds(5));
}

TEST_F(Receiver, KeepsIndexZeroUntilAHeaderArrives) {
    port.open(1);
    buffer.bytes = {0x0D, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    EXPECT_EQ(receive({0x85}), "");
    EXPECT_EQ(buffer[0], 0x0D);
    EXPECT_EQ(buffer[1], 0);
    EXPECT_EQ(buffer[9], 9);
}

}  // namespace
}  // namespace korvel
