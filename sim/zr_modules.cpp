#include "sim/handlers.h"

namespace korvel::sim {

namespace {

constexpr int kTimeCode = 32;
constexpr int kPowerCode = 40;
constexpr int kDefaultTimingQuery = 48;
constexpr int kPowerQuery = 56;
constexpr int kEraseCode = 64;
constexpr std::size_t kDevices = 64;

// A command as the module sees it: the frame after b1 = 0 and its address byte.
struct ZrCommand {
    int code = 0;  // without the Permanent bit
    bool permanent = false;
    std::vector<int> args;
};

void answer(SimController& controller, SimModule& module, FrameData data) {
    ++module.zrAnswerCount;
    const bool late = module.zrLateEvery > 0 && module.zrAnswerCount % module.zrLateEvery == 0;
    controller.queueModuleAnswer(std::move(data), late ? 1 : 0);
}

void query(SimController& controller, SimModule& module, const ZrCommand& cmd,
           std::uint8_t address) {
    const ZrSettings& s = cmd.permanent ? module.zrPermanent : module.zrActive;
    const auto reply = [&](int code) {
        return static_cast<std::uint8_t>(code + (cmd.permanent ? 64 : 0));
    };
    if (cmd.args.empty()) {
        answer(controller, module,
               {0, address, reply(49), static_cast<std::uint8_t>(s.defaultTime & 127)});
        return;
    }
    const auto d = static_cast<std::size_t>(cmd.args[0]);
    if (d >= kDevices) return;
    const ZrDevice& device = s.devices[d];
    const bool power = cmd.code == kPowerQuery;
    answer(controller, module,
           {0, address, reply(power ? 58 : 50), static_cast<std::uint8_t>(d),
            static_cast<std::uint8_t>((power ? device.power : device.time) & 127)});
}

void set(SimModule& module, const ZrCommand& cmd) {
    ZrSettings& s = cmd.permanent ? module.zrPermanent : module.zrActive;
    if (cmd.code == kTimeCode && cmd.args.size() == 1) {
        s.defaultTime = cmd.args[0];
        return;
    }
    if (cmd.args.size() != 2 || static_cast<std::size_t>(cmd.args[0]) >= kDevices) return;
    ZrDevice& device = s.devices[static_cast<std::size_t>(cmd.args[0])];
    (cmd.code == kTimeCode ? device.time : device.power) = cmd.args[1];
}

}  // namespace

bool handleZrCommand(SimController& controller, const FrameData& data) {
    if (data.size() < 3 || data[1] < 64 || data[1] > 71) return false;
    SimModule* module = findModule(controller.system(), ModuleFamily::ZR, data[1] - 64);
    if (module == nullptr) return false;

    if (data.size() == 3 && data[2] == kEraseCode) {
        module->zrActive = module->zrPermanent = ZrSettings{};
        return true;
    }
    ZrCommand cmd{data[2] & 63, (data[2] & 64) != 0, {data.begin() + 3, data.end()}};
    const bool isQuery = cmd.code == kDefaultTimingQuery
                             ? cmd.args.size() <= 1
                             : cmd.code == kPowerQuery && cmd.args.size() == 1;
    if (isQuery)
        query(controller, *module, cmd, data[1]);
    else if (cmd.code == kTimeCode || cmd.code == kPowerCode)
        set(*module, cmd);
    return true;
}

}  // namespace korvel::sim
