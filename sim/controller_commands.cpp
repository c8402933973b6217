#include "sim/handlers.h"

namespace korvel::sim {

namespace {

enum ControllerCommand {
    kResetFault = 0,
    kProtocolVersion = 2,
    kSummary = 3,
    kVgOptions = 5,
    kVgConfigActive = 6,
    kVgConfigPermanent = 7,
    kSystemVersion = 10,
    kModuleStatus = 11,
};

// The two version bytes: digits one and three in the upper bits, two and four
// in the lower three (so those two digits must be 0-7).
std::pair<std::uint8_t, std::uint8_t> versionBytes(int version) {
    const auto byte = [](int high, int low) {
        return static_cast<std::uint8_t>((high << 3) | (low & 7));
    };
    return {byte(version / 1000 % 16, version / 100 % 10), byte(version / 10 % 10, version % 10)};
}

std::uint8_t statusBits(const SimSystem& system) {
    return static_cast<std::uint8_t>((system.statusCode & 3) << 4);
}

FrameData protocolAnswer(const SimSystem& system) {
    const auto [x, y] = versionBytes(system.protocolVersion);
    return {1, kProtocolVersion, x, y};
}

std::optional<SimReply> answerProtocolVersion(SimController& controller) {
    const SimSystem& system = controller.system();
    switch (controller.faults().protocolAnswer) {
        case ProtocolAnswer::Direct:
            return SimReply{protocolAnswer(system), statusBits(system)};
        case ProtocolAnswer::Queued:
            controller.queueMessage(protocolAnswer(system), statusBits(system));
            break;
        case ProtocolAnswer::Never:
            break;
    }
    return SimReply{{}, statusBits(system)};
}

SimReply answerSystemVersion(const SimSystem& system) {
    const auto [x, y] = versionBytes(system.systemVersion);
    return {{1, kSystemVersion, static_cast<std::uint8_t>(system.systemType & 127), x, y}};
}

// Status byte and version of whatever answers at a bus address; a silent
// address reports a status byte with bit 3 clear.
std::pair<std::uint8_t, int> moduleAt(SimSystem& system, int address) {
    if (address < 16) {
        const SimModule* m = findModule(system, ModuleFamily::KX, address);
        if (m && m->secondHalfStatus) return {*m->secondHalfStatus, m->secondHalfVersion};
        return {0, 0};
    }
    const SimModule* m = nullptr;
    if (address >= 32 && address < 48) m = findModule(system, ModuleFamily::KX, address - 32);
    if (address >= 64 && address < 72) m = findModule(system, ModuleFamily::ZR, address - 64);
    if (address >= 96 && address < 112) m = findModule(system, ModuleFamily::QH, address - 96);
    if (!m) return {0, 0};
    return {m->status, m->version};
}

SimReply answerModuleStatus(SimSystem& system, std::uint8_t address) {
    const auto [status, version] = moduleAt(system, address);
    const auto [x, y] = versionBytes(version);
    return {{1, kModuleStatus, address, status, x, y}};
}

// One bit per module number, four to a byte; the first byte names the sub-command.
FrameData bitmap(std::uint8_t sub, int modules, auto bitOf) {
    FrameData data{1, kSummary};
    for (int first = 0; first < modules; first += 4) {
        std::uint8_t byte = first == 0 ? static_cast<std::uint8_t>(sub << 4) : 0;
        for (int j = 0; j < 4; ++j)
            if (bitOf(first + j)) byte = static_cast<std::uint8_t>(byte | (1 << j));
        data.push_back(byte);
    }
    return data;
}

bool present(const SimModule* m) {
    return m && (m->status & kAnswered) != 0;
}

enum Summary {
    kDipSwitches = 0,
    kCapacity = 1,
    kKxPresence = 2,
    kKxFaults = 3,
    kKxTypes = 4,
    kZrPresence = 6
};

// The classic controller's summaries. It knows no KX44: only the WOBE type bits
// count as a KXCC.
SimReply answerSummary(SimSystem& system, std::uint8_t sub) {
    const auto kxPresent = [&](int n) { return present(findModule(system, ModuleFamily::KX, n)); };
    const auto kxStatus = [&](int n) { return findModule(system, ModuleFamily::KX, n)->status; };
    const auto kxFault = [&](int n) { return kxPresent(n) && (kxStatus(n) & kFaultOrHold) != 0; };
    const auto kxcc = [&](int n) { return kxPresent(n) && (kxStatus(n) & 7) == kTypeBitsWobe; };
    const auto zrPresent = [&](int n) { return present(findModule(system, ModuleFamily::ZR, n)); };
    switch (sub) {
        case kDipSwitches:
            return {{1, kSummary, static_cast<std::uint8_t>(system.dipBits & 15)}};
        case kCapacity:
            return {{1, kSummary, 16, static_cast<std::uint8_t>(system.capacity & 127)}};
        case kKxPresence:
            return {bitmap(sub, 16, kxPresent)};
        case kKxFaults:
            return {bitmap(sub, 16, kxFault)};
        case kKxTypes:
            return {bitmap(sub, 16, kxcc)};
        case kZrPresence:
            return {bitmap(sub, 8, zrPresent)};
        default:  // 127 among them: acknowledged, nothing to report
            return {{1, kSummary}};
    }
}

void storeVgConfig(SimSystem& system, const FrameData& data) {
    system.vgConfigPermanent = data[1] == kVgConfigPermanent;
    system.vgConfigLow = data[2];
    system.vgConfigHigh = data[3];
}

// Commands are told apart by their length and second byte.
constexpr std::size_t key(std::size_t count, int command) {
    return count * 128 + static_cast<std::size_t>(command);
}

}  // namespace

std::optional<SimReply> answerControllerCommand(SimController& controller, const FrameData& data) {
    SimSystem& system = controller.system();
    if (data.size() < 2) return std::nullopt;
    switch (key(data.size(), data[1])) {
        case key(2, kResetFault):
            ++system.resetFaultCount;
            system.statusCode &= ~2;
            return SimReply{};
        case key(2, kProtocolVersion):
            return answerProtocolVersion(controller);
        case key(2, kSystemVersion):
            return answerSystemVersion(system);
        case key(3, kModuleStatus):
            return answerModuleStatus(system, data[2]);
        case key(3, kSummary):
            return answerSummary(system, data[2]);
        case key(3, kVgOptions):
            system.vgOptions = data[2];
            return SimReply{};
        case key(4, kVgConfigActive):
        case key(4, kVgConfigPermanent):
            storeVgConfig(system, data);
            return SimReply{};
        default:
            return std::nullopt;
    }
}

}  // namespace korvel::sim
