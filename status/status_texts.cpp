#include "status/status_texts.h"

#include <array>

namespace korvel {

namespace {

// KX type bits 0-2 of a status byte; 3 and above are unknown.
constexpr std::array<KxTypeInfo, 3> kKxTypes{
    {{kKxH, "KX-H"}, {kKx44, "KX44"}, {kKxWobe, "WOBE-s"}}};

struct SystemTypeRow {
    int code;
    SystemTypeInfo info;
};
constexpr std::array<SystemTypeRow, 4> kSystemTypes{{
    {1, {"VG-H", "VG-H", VgUnit::VgH}},
    {2, {"VG-U", "VG-U ", VgUnit::VgU}},
    {3, {"VG-C", "VG-C ", VgUnit::VgC}},
    {10, {"WOBE", "WOBE ", VgUnit::Wobe}},
}};

// Header bits 4-5 of the first answer: bit 0 hold, bit 1 fault.
constexpr std::array<const char*, 4> kSystemStatusTexts{"OK", "Hold", "Fault", "Fault+Hold"};

}  // namespace

bool moduleAnswered(std::uint8_t status) {
    return (status & 15) >= 8;
}

std::string moduleStatusText(ModuleFamily kind, std::uint8_t status) {
    if (!moduleAnswered(status)) return kNotFoundText;
    if ((status & 31) >= 16) return "Idle";
    if (kind != ModuleFamily::QH && (status & 63) >= 32)
        return kind == ModuleFamily::KX ? "Fault" : "Hold";
    return "Active";
}

KxTypeInfo kxTypeOf(std::uint8_t status) {
    const std::size_t bits = status & 7u;
    return bits < kKxTypes.size() ? kKxTypes[bits] : KxTypeInfo{};
}

KxTypeInfo classicKxTypeOf(bool kxcc) {
    return kxcc ? KxTypeInfo{kKxWobe, "KXCC"} : KxTypeInfo{kKxH, "KX-H"};
}

const char* dipSwitchText(bool bitSet) {
    return bitSet ? "Off" : "On";
}

SystemTypeInfo systemTypeOf(int code) {
    for (const SystemTypeRow& row : kSystemTypes)
        if (row.code == code) return row.info;
    return {};
}

std::string systemStatusText(int code) {
    return kSystemStatusTexts[static_cast<std::size_t>(code & 3)];
}

}  // namespace korvel
