#pragma once

#include <optional>

#include "link/frame.h"

namespace korvel {

// Which ZR32 module the report reads and whether it reads the stored settings.
struct ZrTarget {
    int module = 0;  // 0..7
    bool permanent = false;
};

// Requests of the configuration report; the Permanent flag adds 64 to the code.
Frame zrDefaultTimingRequest(ZrTarget target);
Frame zrDeviceTimingRequest(ZrTarget target, int device);
Frame zrDevicePowerRequest(ZrTarget target, int device);

struct ZrDeviceValue {
    int device = 0;
    int value = 0;
};

// The module's answers, recognised by header length and the first three data
// bytes; nullopt when the reply buffer holds something else.
std::optional<int> zrDefaultTimingReply(const ReplyBuffer& reply, ZrTarget target);
std::optional<ZrDeviceValue> zrDeviceTimingReply(const ReplyBuffer& reply, ZrTarget target);
std::optional<ZrDeviceValue> zrDevicePowerReply(const ReplyBuffer& reply, ZrTarget target);

}  // namespace korvel
