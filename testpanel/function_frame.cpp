#include "testpanel/function_frame.h"

#include <stdexcept>

namespace korvel {

std::uint8_t patternByte(const std::array<bool, 8>& functions) {
    unsigned pattern = 0;
    for (std::size_t i = 0; i < functions.size(); ++i)
        if (functions[i]) pattern |= 1u << i;
    return static_cast<std::uint8_t>(pattern);
}

std::optional<FunctionGroup> functionGroup(int index) {
    if (index < 0 || index > 4) return std::nullopt;
    return static_cast<FunctionGroup>(index);
}

Frame FunctionGroupFrame(FunctionGroup group, int block, int address, std::uint8_t pattern) {
    if (block < 0 || block > kMaxBlock || address < 0 || address > kMaxDecoder)
        throw std::out_of_range("block or decoder address outside what a frame can carry");
    const int longAddress = address >= 128 ? 1 : 0;
    const int lo = address % 128;
    const int hi = address / 128;
    const int bit7 = pattern >> 7;
    switch (group) {
        case FunctionGroup::F1toF4L:
            return Frame{kGroupCommand, block, pattern % 32, lo, hi}.first(4 + longAddress);
        case FunctionGroup::F5toF8:
            return Frame{kGroupCommand, block, 48 + pattern % 16, lo, hi}.first(4 + longAddress);
        case FunctionGroup::F9toF12:
            return Frame{kGroupCommand, block, 32 + pattern % 16, lo, hi}.first(4 + longAddress);
        case FunctionGroup::F13toF20:
            return Frame{kExpansionCommand, block, 4 + bit7, pattern % 128, lo, hi}.first(
                5 + longAddress);
        case FunctionGroup::F21toF28:
            return Frame{kExpansionCommand, block, 6 + bit7, pattern % 128, lo, hi}.first(
                5 + longAddress);
    }
    throw std::out_of_range("unknown function group");
}

}  // namespace korvel
