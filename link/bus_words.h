#pragma once

#include "link/frame.h"

// The bus controller's vocabulary as the program speaks it: who a frame is
// for, the controller's own commands, the module address bytes and the
// Permanent flag. Every folder spells these through the names here.
namespace korvel {

// First data byte: a module command, or a command to the controller itself.
inline constexpr int kToModule = 0;
inline constexpr int kToController = 1;

// Second data byte of a frame to the controller.
inline constexpr int kResetFault = 0;
inline constexpr int kProtocolVersion = 2;
inline constexpr int kSummary = 3;  // the classic view's summaries; a sub-command follows
inline constexpr int kVgOptions = 5;
inline constexpr int kVgConfig = 6;  // the active bits; the stored ones are the next command
inline constexpr int kSystemVersion = 10;
inline constexpr int kModuleStatus = 11;  // a status-query address follows

inline constexpr Frame kResetFaultRequest{kToController, kResetFault};
inline constexpr Frame kProtocolVersionQuery{kToController, kProtocolVersion};
inline constexpr Frame kSystemVersionQuery{kToController, kSystemVersion};

// The first address byte of each family's modules.
inline constexpr int kKxAddress = 32;
inline constexpr int kZrAddress = 64;
inline constexpr int kQhAddress = 96;

// A KX module index m (16..31: the second half of KX44 m - 16) travels as the
// address byte of m mod 16, while bit 4 rides in the next byte on top of a
// mark: 8 in commands, 10 in settings reports.
inline constexpr int kKxCommandMark = 8;
inline constexpr int kKxReportMark = 10;
constexpr int kxAddressByte(int m) {
    return kKxAddress + m % 16;
}
constexpr int kxHalfByte(int m, int mark) {
    return 16 * (m / 16) + mark;
}
constexpr int zrAddressByte(int m) {
    return kZrAddress + m;
}

// Ticking "Permanent" addresses the stored setting: bit 6 of a KX or ZR
// command byte, the next command number for the VG configuration.
inline constexpr int kPermanentFlag = 64;
constexpr int withPermanent(int code, bool permanent) {
    return code + (permanent ? kPermanentFlag : 0);
}
constexpr int vgConfigCommand(bool permanent) {
    return kVgConfig + (permanent ? 1 : 0);
}

}  // namespace korvel
