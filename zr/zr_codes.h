#pragma once

namespace korvel {

// The third byte of a ZR32 command and of its answer, before the Permanent
// flag: what the module is asked to do and what it reports back.
inline constexpr int kZrTimeCode = 32;  // default time with four bytes, a device's with five
inline constexpr int kZrPowerCode = 40;
inline constexpr int kZrEraseCode = 64;
inline constexpr int kZrDefaultTimingCode = 48;  // with a device byte: that device's timing
inline constexpr int kZrDefaultTimingAnswer = 49;
inline constexpr int kZrDeviceTimingAnswer = 50;
inline constexpr int kZrDevicePowerCode = 56;
inline constexpr int kZrDevicePowerAnswer = 58;

}  // namespace korvel
