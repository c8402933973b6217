#include "link/frame.h"

#include <algorithm>

namespace korvel {

bool Frame::operator==(const Frame& other) const {
    return count_ == other.count_ && std::equal(data().begin(), data().end(), other.data().begin());
}

std::uint8_t headerByte(int count, bool stop, bool toggle) {
    if (count < 0 || count > Frame::kMaxData) throw std::length_error("data count outside 0..7");
    return static_cast<std::uint8_t>(count + 8 + (stop ? 32 : 0) + (toggle ? 64 : 0));
}

std::uint8_t checkByte(std::uint8_t header, std::span<const CommandByte> data) {
    unsigned sum = header;
    for (CommandByte b : data) sum += b.value();
    return static_cast<std::uint8_t>(128 + ((128 - sum % 128) % 128));
}

std::vector<std::uint8_t> encodeRequest(const Frame& frame, bool stop, bool toggle) {
    std::vector<std::uint8_t> wire;
    wire.reserve(static_cast<std::size_t>(frame.count()) + 2);
    const std::uint8_t header = headerByte(frame.count(), stop, toggle);
    wire.push_back(header);
    for (CommandByte b : frame.data()) wire.push_back(static_cast<std::uint8_t>(b.value() | 0x80));
    wire.push_back(checkByte(header, frame.data()));
    return wire;
}

std::string FormatLogByte(std::uint8_t byte) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    return {' ', static_cast<char>('0' + ((byte >> 4) & 7)), kHex[byte & 15]};
}

}  // namespace korvel
