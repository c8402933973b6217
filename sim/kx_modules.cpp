#include <utility>

#include "sim/handlers.h"

namespace korvel::sim {

namespace {

constexpr int kPermanentBit = 64;
constexpr int kEraseCommand = 64;

// The settings one half of a KX module keeps.
struct KxHalf {
    KxSettings& active;
    KxSettings& permanent;
};

// Half 1 exists only on a KX44 whose second half answers.
std::optional<KxHalf> halfOf(SimModule& module, int half) {
    if (half == 0) return KxHalf{module.kxActive, module.kxPermanent};
    if (!module.secondHalfStatus) return std::nullopt;
    return KxHalf{module.kxSecondActive, module.kxSecondPermanent};
}

void erase(KxHalf half) {
    half.active = KxSettings{};
    half.permanent = KxSettings{};
}

// A Set (value present) stores the value; Set and Get both answer with the
// setting's code and its value as the module now holds it.
void setOrGet(SimController& controller, const FrameData& data, KxHalf half, int half16) {
    const int v = data[3];
    const int code = v & ~kPermanentBit;
    if (code < 1 || code >= kKxSettingCodes) return;
    KxSettings& settings = (v & kPermanentBit) != 0 ? half.permanent : half.active;
    int& value = settings.value[static_cast<std::size_t>(code)];
    if (data.size() >= 5) value = data[4];
    controller.queueMessage({0, data[1], static_cast<std::uint8_t>(half16 + 10),
                             static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(value & 127)});
}

}  // namespace

bool handleKxCommand(SimController& controller, const FrameData& data) {
    if (data.size() < 2 || data[0] != 0 || data[1] < 32 || data[1] > 47) return false;
    SimModule* module = findModule(controller.system(), ModuleFamily::KX, data[1] - 32);
    if (module == nullptr) return false;
    if (data.size() < 4 || (data[2] & 0xEF) != 8) return true;  // not a settings command

    const int half16 = data[2] & 16;
    const std::optional<KxHalf> half = halfOf(*module, half16 / 16);
    if (!half) return true;
    if (data[3] == kEraseCommand)
        erase(*half);
    else
        setOrGet(controller, data, *half, half16);
    return true;
}

}  // namespace korvel::sim
