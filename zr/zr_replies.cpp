#include "zr/zr_replies.h"

#include "link/bus_words.h"
#include "zr/zr_codes.h"

namespace korvel {

namespace {

int codeFor(int code, ZrTarget target) {
    return withPermanent(code, target.permanent);
}
int moduleAddress(ZrTarget target) {
    return zrAddressByte(target.module);
}

bool matches(const ReplyBuffer& reply, ZrTarget target, int lowNibble, int answerCode) {
    return reply.lowNibble() == lowNibble && reply[1] == kToModule &&
           reply[2] == moduleAddress(target) && reply[3] == codeFor(answerCode, target);
}

}  // namespace

Frame zrDefaultTimingRequest(ZrTarget target) {
    return Frame{kToModule, moduleAddress(target), codeFor(kZrDefaultTimingCode, target)};
}

Frame zrDeviceTimingRequest(ZrTarget target, int device) {
    return Frame{kToModule, moduleAddress(target), codeFor(kZrDefaultTimingCode, target), device};
}

Frame zrDevicePowerRequest(ZrTarget target, int device) {
    return Frame{kToModule, moduleAddress(target), codeFor(kZrDevicePowerCode, target), device};
}

std::optional<int> zrDefaultTimingReply(const ReplyBuffer& reply, ZrTarget target) {
    if (!matches(reply, target, 12, kZrDefaultTimingAnswer)) return std::nullopt;
    return reply[4] & 127;
}

std::optional<ZrDeviceValue> zrDeviceTimingReply(const ReplyBuffer& reply, ZrTarget target) {
    if (!matches(reply, target, 13, kZrDeviceTimingAnswer)) return std::nullopt;
    return ZrDeviceValue{reply[4] & 127, reply[5] & 127};
}

std::optional<ZrDeviceValue> zrDevicePowerReply(const ReplyBuffer& reply, ZrTarget target) {
    if (!matches(reply, target, 13, kZrDevicePowerAnswer)) return std::nullopt;
    return ZrDeviceValue{reply[4] & 127, reply[5] & 127};
}

}  // namespace korvel
