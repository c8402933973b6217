#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "link/frame.h"

namespace korvel {

// The five function groups a decoder frame can switch.
enum class FunctionGroup { F1toF4L = 0, F5toF8 = 1, F9toF12 = 2, F13toF20 = 3, F21toF28 = 4 };

// First byte of a decoder function frame: groups F1..F12, or the expansion groups F13..F28.
inline constexpr int kGroupCommand = 40;
inline constexpr int kExpansionCommand = 44;

inline constexpr int kMaxBlock = 127;
inline constexpr int kMaxDecoder = 16383;

// Pattern byte of eight functions: function k is bit k.
std::uint8_t patternByte(const std::array<bool, 8>& functions);

// The group numbered `index` in the order above; nullopt outside 0..4.
std::optional<FunctionGroup> functionGroup(int index);

// The frame that switches the functions of one group of decoder `address`
// (0..16383) in `block` (0..127). An address of 128 and above needs its high
// half as an extra byte.
Frame FunctionGroupFrame(FunctionGroup group, int block, int address, std::uint8_t pattern);

}  // namespace korvel
