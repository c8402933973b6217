#pragma once

#include <cstdint>
#include <string>

#include "service/module_family.h"
#include "service/module_registry.h"
#include "vg/vg_unit.h"

namespace korvel {

// Bit 3 of a module status byte: the module answered.
bool moduleAnswered(std::uint8_t status);

// What a module's status box shows when the module did not answer, or was not asked.
inline constexpr const char* kNotFoundText = "Not Found";         // standard view
inline constexpr const char* kClassicNotFoundText = "Not found";  // classic view
inline constexpr const char* kNotAskedText = "-";                 // standard view
inline constexpr const char* kUnknownText = "Unknown";            // classic view

// The second half of a KX44 that reports another type.
inline constexpr const char* kWrongHalfText = "Error";

// "Not Found", "Idle", "Fault"/"Hold" (not for QH) or "Active".
std::string moduleStatusText(ModuleFamily kind, std::uint8_t status);

// The KX type of a status byte (its bits 0-2) as the type table code and text.
struct KxTypeInfo {
    std::int16_t code = kKxUnknown;
    const char* text = "Unknown";
};
KxTypeInfo kxTypeOf(std::uint8_t status);

// The classic view's words for what the summary bitmaps say.
inline constexpr const char* kClassicActiveText = "Active";  // present, faults not known
inline constexpr const char* kClassicOkText = "OK";
inline constexpr const char* kClassicFaultText = "Fault";
inline constexpr const char* kClassicNoTypeText = "N.A.";
// The classic type of a present KX module: "KXCC" or "KX-H", with its type table code.
KxTypeInfo classicKxTypeOf(bool kxcc);
// A DIP switch is "Off" when its bit is set.
const char* dipSwitchText(bool bitSet);

// The system type reported by the controller, as the VG page caption and the
// prefix of the system version text; an unknown type has no prefix.
struct SystemTypeInfo {
    const char* caption = "Unknown";
    const char* versionPrefix = nullptr;
    VgUnit unit = VgUnit::Unknown;
};
SystemTypeInfo systemTypeOf(int code);

// "OK", "Hold", "Fault" or "Fault+Hold" for header bits 4-5 of the first answer.
std::string systemStatusText(int code);

}  // namespace korvel
