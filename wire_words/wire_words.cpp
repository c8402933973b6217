#include "wire_words/wire_words.h"

#include <array>
#include <optional>

#include "kx/settings.h"
#include "link/bus_words.h"
#include "status/status_texts.h"
#include "status/summary_codes.h"
#include "status/version.h"
#include "testpanel/function_frame.h"
#include "zr/zr_codes.h"
#include "zr/zr_format.h"

namespace korvel {

namespace {

constexpr const char* kDot = " \xC2\xB7 ";  // the middle dot between subject and detail

// A frame that passed the wire's checks: header and the data values without bit 7.
struct Parsed {
    int header = 0;
    int count = 0;
    std::array<int, 7> d{};
};

std::optional<Parsed> parse(WireBytes f) {
    if (f.size() < 2 || f[0] >= 128 || (f[0] & 8) == 0) return std::nullopt;
    Parsed p;
    p.header = f[0];
    p.count = f[0] & 7;
    if (f.size() != static_cast<std::size_t>(p.count) + 2) return std::nullopt;
    unsigned sum = f[0];
    for (std::size_t i = 1; i < f.size(); ++i) {
        if (f[i] < 128) return std::nullopt;
        sum += f[i] - 128u;
        if (i <= static_cast<std::size_t>(p.count)) p.d[i - 1] = f[i] - 128;
    }
    if (sum % 128 != 0) return std::nullopt;
    return p;
}

std::string unknown(WireBytes f) {
    const std::string bytes = byteTexts(f);
    return "unknown" + std::string(kDot) + (bytes.empty() ? "no bytes" : bytes.substr(1));
}

std::string number(int value) {
    return std::to_string(value);
}

std::string permanence(int command) {
    return (command & kPermanentFlag) != 0 ? " (permanent)" : "";
}

// KX module index 0..31 from the address byte and the byte that carries its half.
std::string kxLabel(int module) {
    return module < 16 ? "KX " + number(module) : "KX " + number(module - 16) + ".1";
}

// The module a status query addresses: a KX module, the second half of a KX44, a ZR or a QH.
struct StatusTarget {
    std::string label;
    std::optional<ModuleFamily> kind;
};
StatusTarget statusTarget(int address) {
    if (address < 16) return {"KX " + number(address) + ".1", ModuleFamily::KX};
    if (address >= kQhAddress) return {"QH " + number(address - kQhAddress), ModuleFamily::QH};
    if (address >= kZrAddress) return {"ZR " + number(address - kZrAddress), ModuleFamily::ZR};
    if (address >= kKxAddress) return {"KX " + number(address - kKxAddress), ModuleFamily::KX};
    return {"address " + number(address), std::nullopt};
}

const char* summaryName(int sub) {
    switch (sub) {
        case kDipSwitches:
            return "DIP switches";
        case kCapacity:
            return "capacity";
        case kKxPresence:
            return "KX presence";
        case kKxFaults:
            return "KX faults";
        case kKxTypes:
            return "KX types";
        case kZrPresence:
            return "ZR presence";
        default:
            return nullptr;
    }
}

// The setting a KX command byte addresses, named with the words of its selector bits.
struct KxSettingWords {
    const KxSettingRow* row = nullptr;
    std::string name;
};
KxSettingWords kxSetting(int command) {
    const int code = command & (kPermanentFlag - 1);
    for (const KxSettingRow& row : kKxSettings) {
        const KxSelectorBits& b = row.selectorBits;
        const int selectorMask = b.alarmOn | b.switchOn | b.bank1 | b.loopB;
        const int extra = code - row.code;
        if (extra < 0 || (extra & ~selectorMask) != 0) continue;
        const KxSelectors selectors{(extra & b.alarmOn) != 0, (extra & b.switchOn) != 0,
                                    (extra & b.bank1) != 0, (extra & b.loopB) != 0};
        return {&row, kxSettingWords(row, selectors)};
    }
    return {};
}

// "= 1 (Moderate)": the value, and what it means where the setting has options.
std::string kxValue(const KxSettingRow& row, int value) {
    std::string words = " = " + number(value);
    if (row.isOption()) {
        for (const KxOptionValue& option : row.options)
            if (option.value == value)
                return number(value) == option.caption ? words
                                                       : words + " (" + option.caption + ")";
        return words + " (no such option)";
    }
    if (value < row.range.minimum || value > row.range.maximum) words += " (out of range)";
    return words;
}

std::string kxCommand(const Parsed& p, WireBytes f) {
    const int half = p.d[2] >> 4;
    if ((p.d[2] & 15) != kKxCommandMark || half > 1 || p.count < 4 || p.count > 5)
        return unknown(f);
    const std::string subject = kxLabel(p.d[1] - kKxAddress + 16 * half) + kDot;
    const int v = p.d[3];
    if (p.count == 4 && v == kEraseCode) return subject + "erase all settings";
    const KxSettingWords setting = kxSetting(v);
    if (!setting.row) return unknown(f);
    if (p.count == 4) return subject + "get " + setting.name + permanence(v);
    return subject + "set " + setting.name + kxValue(*setting.row, p.d[4]) + permanence(v);
}

std::string zrTime(int value) {
    std::string shown = FormatZRTime(value);
    shown.erase(0, shown.find_first_not_of(' '));
    return "time " + number(value) + " (" + shown + ")";
}

std::string zrCommand(const Parsed& p, WireBytes f) {
    const std::string module = "ZR " + number(p.d[1] - kZrAddress);
    const int c = p.d[2];
    const int base = c & ~kPermanentFlag;
    const std::string perm = permanence(c);
    const auto device = [&] { return module + " device " + number(p.d[3]) + kDot; };
    if (c == kZrEraseCode && p.count == 3) return module + kDot + "erase all settings";
    if (base == kZrTimeCode && p.count == 4)
        return module + kDot + "set default " + zrTime(p.d[3]) + perm;
    if (base == kZrTimeCode && p.count == 5) return device() + "set " + zrTime(p.d[4]) + perm;
    if (base == kZrPowerCode && p.count == 5)
        return device() + "set power " + ZRPowerName(p.d[4]) + perm;
    if (base == kZrDefaultTimingCode && p.count == 3)
        return module + kDot + "get default time" + perm;
    if (base == kZrDefaultTimingCode && p.count == 4) return device() + "get time" + perm;
    if (base == kZrDevicePowerCode && p.count == 4) return device() + "get power" + perm;
    return unknown(f);
}

// Which functions a pattern switches on: "F1 F4 L", or "none".
std::string functionsOn(int pattern, int first, int bits, bool light) {
    std::string words;
    for (int k = 0; k < bits; ++k) {
        if (((pattern >> k) & 1) == 0) continue;
        words += light && k == 4 ? " L" : " F" + number(first + k);
    }
    return words.empty() ? " none" : words;
}

std::string functionCommand(const Parsed& p, WireBytes f) {
    const bool expansion = p.d[0] == kExpansionCommand;
    const int shortCount = expansion ? 5 : 4;
    if (p.count != shortCount && p.count != shortCount + 1) return unknown(f);
    const int lo = p.d[static_cast<std::size_t>(shortCount - 1)];
    const int hi = p.count > shortCount ? p.d[static_cast<std::size_t>(shortCount)] : 0;
    const std::string subject =
        "decoder " + number(lo + 128 * hi) + " block " + number(p.d[1]) + kDot + "functions on:";
    const int b3 = p.d[2];
    if (expansion) {
        const int pattern = p.d[3] + 128 * (b3 & 1);
        if ((b3 & ~1) == 4) return subject + functionsOn(pattern, 13, 8, false);
        if ((b3 & ~1) == 6) return subject + functionsOn(pattern, 21, 8, false);
        return unknown(f);
    }
    if (b3 < 32) return subject + functionsOn(b3, 1, 5, true);
    if (b3 >= 48) return subject + functionsOn(b3 & 15, 5, 4, false);
    return subject + functionsOn(b3 & 15, 9, 4, false);
}

std::string controllerCommand(const Parsed& p, WireBytes f) {
    const int c = p.d[1];
    if (p.count == 2 && c == kResetFault) return "Reset Fault";
    if (p.count == 2 && c == kProtocolVersion)
        return std::string("status") + kDot + "protocol version";
    if (p.count == 2 && c == kSystemVersion) return std::string("status") + kDot + "system version";
    if (p.count == 3 && c == kSummary) {
        if (p.d[2] == kUnexamined) return std::string("status") + kDot + "summary 127";
        if (const char* name = summaryName(p.d[2])) return std::string("status") + kDot + name;
    }
    if (p.count == 3 && c == kModuleStatus) return "status " + statusTarget(p.d[2]).label;
    if (p.count == 3 && c == kVgOptions)
        return std::string("VG") + kDot + "set options = " + number(p.d[2]);
    if (p.count == 4 && (c == vgConfigCommand(false) || c == vgConfigCommand(true)))
        return std::string("VG") + kDot + "set configuration = " + number(p.d[2] + 16 * p.d[3]) +
               (c == vgConfigCommand(true) ? " (permanent)" : "");
    return unknown(f);
}

std::string moduleList(const Parsed& p, int modules) {
    std::string words;
    for (int k = 0; k < modules; ++k)
        if ((p.d[static_cast<std::size_t>(2 + k / 4)] >> (k % 4)) & 1) words += " " + number(k);
    return words.empty() ? " none" : words;
}

std::string summaryAnswer(const Parsed& p, WireBytes f) {
    if (p.count == 2) return "summary" + std::string(kDot) + "empty";
    const int sub = p.d[2] >> 4;
    if (p.count == 3 && sub == kDipSwitches) {
        std::string bits;
        for (int i = 3; i >= 0; --i) bits += ((p.d[2] >> i) & 1) ? '1' : '0';
        return std::string("DIP switches") + kDot + "bits " + bits;
    }
    if (p.count == 4 && p.d[2] == 16) return std::string("capacity") + kDot + number(p.d[3]);
    const bool kxMap = p.count == 6 && (sub == kKxPresence || sub == kKxTypes || sub == kKxFaults);
    if (kxMap) return std::string(summaryName(sub)) + kDot + "modules" + moduleList(p, 16);
    if (p.count == 4 && sub == kZrPresence)
        return std::string(summaryName(sub)) + kDot + "modules" + moduleList(p, 8);
    return unknown(f);
}

std::string moduleStatusAnswer(const Parsed& p) {
    const StatusTarget target = statusTarget(p.d[2]);
    const std::string subject = "status " + target.label + kDot;
    const auto s = static_cast<std::uint8_t>(p.d[3]);
    if (!target.kind) return subject + "status byte " + number(s);
    std::string words = moduleStatusText(*target.kind, s);
    if (!moduleAnswered(s)) return subject + words;
    if (*target.kind == ModuleFamily::KX) words = std::string(kxTypeOf(s).text) + " " + words;
    const int version =
        versionNumber(static_cast<std::uint8_t>(p.d[4]), static_cast<std::uint8_t>(p.d[5]));
    return subject + words + " " + moduleVersionText(version);
}

std::string controllerAnswer(const Parsed& p, WireBytes f) {
    const int c = p.d[1];
    if (p.count == 4 && c == kProtocolVersion)
        return "protocol version " +
               versionText(versionNumber(static_cast<std::uint8_t>(p.d[2]),
                                         static_cast<std::uint8_t>(p.d[3]))) +
               kDot + "system " + systemStatusText((p.header >> 4) & 3);
    if (p.count == 5 && c == kSystemVersion)
        return std::string("system ") + systemTypeOf(p.d[2]).caption + " " +
               versionText(versionNumber(static_cast<std::uint8_t>(p.d[3]),
                                         static_cast<std::uint8_t>(p.d[4])));
    if (p.count == 6 && c == kModuleStatus) return moduleStatusAnswer(p);
    if (p.count >= 2 && c == kSummary) return summaryAnswer(p, f);
    return unknown(f);
}

std::string kxReport(const Parsed& p, WireBytes f) {
    const int half = p.d[2] >> 4;
    if ((p.d[2] & 15) != kKxReportMark || half > 1 || p.count != 5) return unknown(f);
    const KxSettingWords setting = kxSetting(p.d[3]);
    if (!setting.row) return unknown(f);
    return kxLabel(p.d[1] - kKxAddress + 16 * half) + " " + setting.name +
           kxValue(*setting.row, p.d[4]) + permanence(p.d[3]);
}

std::string zrReport(const Parsed& p, WireBytes f) {
    const std::string module = "ZR " + number(p.d[1] - kZrAddress);
    const int base = p.d[2] & ~kPermanentFlag;
    const std::string perm = permanence(p.d[2]);
    const auto device = [&] { return module + " device " + number(p.d[3]) + kDot; };
    if (base == kZrDefaultTimingAnswer && p.count == 4)
        return module + kDot + "default " + zrTime(p.d[3]) + perm;
    if (base == kZrDeviceTimingAnswer && p.count == 5) return device() + zrTime(p.d[4]) + perm;
    if (base == kZrDevicePowerAnswer && p.count == 5)
        return device() + "power " + ZRPowerName(p.d[4]) + perm;
    return unknown(f);
}

bool isKx(int address) {
    return address >= kKxAddress && address < kKxAddress + 16;
}
bool isZr(int address) {
    return address >= kZrAddress && address < kQhAddress;
}

}  // namespace

std::string kxSettingWords(const KxSettingRow& row, const KxSelectors& selectors) {
    const KxSelectorBits& b = row.selectorBits;
    std::string words = row.name;
    if (b.alarmOn) words += selectors.alarmOn ? " on-delay" : " off-delay";
    if (b.switchOn) words += selectors.switchOn ? " on-delay" : " off-delay";
    if (b.bank1) words += selectors.bank1 ? " bank 1" : " bank 0";
    if (b.loopB) words += selectors.loopB ? " loop B" : " loop A";
    return words;
}

std::string byteTexts(WireBytes frame) {
    std::string text;
    for (std::uint8_t b : frame) text += FormatLogByte(b);
    return text;
}

std::string requestWords(WireBytes request) {
    const std::optional<Parsed> p = parse(request);
    if (!p) return unknown(request);
    if (p->count == 0) return "poll";
    if (p->d[0] == kToController && p->count >= 2) return controllerCommand(*p, request);
    if (p->d[0] == kToModule && p->count >= 3 && isKx(p->d[1])) return kxCommand(*p, request);
    if (p->d[0] == kToModule && p->count >= 3 && isZr(p->d[1])) return zrCommand(*p, request);
    if (p->d[0] == kGroupCommand || p->d[0] == kExpansionCommand)
        return functionCommand(*p, request);
    return unknown(request);
}

std::string answerWords(WireBytes answer) {
    const std::optional<Parsed> p = parse(answer);
    if (!p) return unknown(answer);
    if (p->count == 0) return "nothing held";
    if (p->d[0] == kToController && p->count >= 2) return controllerAnswer(*p, answer);
    if (p->d[0] == kToModule && p->count >= 3 && isKx(p->d[1])) return kxReport(*p, answer);
    if (p->d[0] == kToModule && p->count >= 3 && isZr(p->d[1])) return zrReport(*p, answer);
    return unknown(answer);
}

}  // namespace korvel
