#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace korvel {

// A 7-bit value as carried in a data byte; the wire adds bit 7. Building one
// from a value outside 0..127 is a programming error and throws, so a command
// can never put a byte with bit 7 set into a data position.
class CommandByte {
  public:
    constexpr CommandByte() = default;
    constexpr CommandByte(int value) : value_(checked(value)) {}  // NOLINT: implicit on purpose

    constexpr std::uint8_t value() const { return value_; }
    constexpr bool operator==(const CommandByte&) const = default;

  private:
    static constexpr std::uint8_t checked(int value) {
        if (value < 0 || value > 127) throw std::out_of_range("command byte outside 0..127");
        return static_cast<std::uint8_t>(value);
    }
    std::uint8_t value_ = 0;
};

// The data part of one request: up to seven command bytes. A frame with no
// data is the empty frame that collects late answers.
class Frame {
  public:
    static constexpr int kMaxData = 7;

    constexpr Frame() = default;
    constexpr Frame(std::initializer_list<CommandByte> bytes) {
        if (bytes.size() > kMaxData) throw std::length_error("frame holds at most seven bytes");
        for (CommandByte b : bytes) data_[count_++] = b;
    }

    constexpr int count() const { return static_cast<int>(count_); }
    constexpr bool empty() const { return count_ == 0; }
    constexpr CommandByte operator[](int index) const {
        return data_.at(static_cast<std::size_t>(index));
    }
    std::span<const CommandByte> data() const { return {data_.data(), count_}; }

    // Drops the bytes after the first `count`; how short commands keep only their leading bytes.
    constexpr Frame first(int count) const {
        if (count < 0 || count > kMaxData)
            throw std::length_error("frame holds at most seven bytes");
        Frame f;
        f.count_ = static_cast<std::size_t>(count);
        for (std::size_t i = 0; i < f.count_; ++i) f.data_[i] = data_[i];
        return f;
    }

    bool operator==(const Frame& other) const;

  private:
    std::array<CommandByte, kMaxData> data_{};
    std::size_t count_ = 0;
};

// Header byte of a request: bit 3 set, bits 0-2 the data count, bit 5 stop, bit 6 toggle.
std::uint8_t headerByte(int count, bool stop, bool toggle);

// Check byte that makes the 7-bit sum of header, data values and check value zero.
std::uint8_t checkByte(std::uint8_t header, std::span<const CommandByte> data);

// The bytes of a request on the wire, header to check byte.
std::vector<std::uint8_t> encodeRequest(const Frame& frame, bool stop, bool toggle);

// Three-character log text of one byte: a blank, bits 4-6 as a digit, bits 0-3 as hex.
std::string FormatLogByte(std::uint8_t byte);

// The header, data values and check value of the last frame received; index 9 is never written.
struct ReplyBuffer {
    std::array<std::uint8_t, 10> bytes{};

    std::uint8_t operator[](int index) const { return bytes.at(static_cast<std::size_t>(index)); }
    int header() const { return bytes[0]; }
    int dataCount() const { return bytes[0] & 7; }
    int lowNibble() const { return bytes[0] & 15; }
};

}  // namespace korvel
