#include "status/status_texts.h"

namespace korvel {

bool moduleAnswered(std::uint8_t status) {
    return (status & 15) >= 8;
}

std::string moduleStatusText(ModuleKind kind, std::uint8_t status) {
    if (!moduleAnswered(status)) return "Not Found";
    if ((status & 31) >= 16) return "Idle";
    if (kind != ModuleKind::QH && (status & 63) >= 32)
        return kind == ModuleKind::KX ? "Fault" : "Hold";
    return "Active";
}

KxTypeInfo kxTypeOf(std::uint8_t status) {
    switch (status & 7) {
        case 0:
            return {kKxH, "KX-H"};
        case 1:
            return {kKx44, "KX44"};
        case 2:
            return {kKxWobe, "WOBE-s"};
        default:
            return {kKxUnknown, "Unknown"};
    }
}

SystemTypeInfo systemTypeOf(int code) {
    switch (code) {
        case 1:
            return {"VG-H", "VG-H", VgUnit::VgH};
        case 2:
            return {"VG-U", "VG-U ", VgUnit::VgU};
        case 3:
            return {"VG-C", "VG-C ", VgUnit::VgC};
        case 10:
            return {"WOBE", "WOBE ", VgUnit::Wobe};
        default:
            return {};
    }
}

std::string systemStatusText(int code) {
    switch (code & 3) {
        case 0:
            return "OK";
        case 1:
            return "Hold";
        case 2:
            return "Fault";
        default:
            return "Fault+Hold";
    }
}

}  // namespace korvel
