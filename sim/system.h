#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace korvel::sim {

enum class ModuleFamily { KX, ZR, QH };

// Status byte bits as a module reports them to the status query.
inline constexpr std::uint8_t kAnswered = 0x08;
inline constexpr std::uint8_t kIdle = 0x10;
inline constexpr std::uint8_t kFaultOrHold = 0x20;
// KX type bits 0-2 of the status byte.
inline constexpr std::uint8_t kTypeBitsKXH = 0;
inline constexpr std::uint8_t kTypeBitsKX44 = 1;
inline constexpr std::uint8_t kTypeBitsWobe = 2;

// Settings of a KX module, indexed by setting code: bits 0-5 of the command
// byte, so 1..63 (0 with the Permanent bit is the erase).
inline constexpr int kKxSettingCodes = 64;
struct KxSettings {
    std::array<int, kKxSettingCodes> value{};
};

struct ZrDevice {
    int time = 0;   // 1/60 s, 0 = default
    int power = 0;  // 0 Normal, 1 Low, 2 High, 3 Unlimited
};

struct ZrSettings {
    int defaultTime = 12;
    std::array<ZrDevice, 64> devices{};
};

struct SimModule {
    ModuleFamily family = ModuleFamily::KX;
    int number = 0;                   // 0..15 KX and QH, 0..7 ZR
    std::uint8_t status = kAnswered;  // status byte R4 of the module query
    int version = 1000;               // four-digit version number
    // A KX44 answers a second time for its second half (bus address = number).
    std::optional<std::uint8_t> secondHalfStatus;
    int secondHalfVersion = 1000;

    // What the module keeps; active settings are lost on erase, permanent ones too.
    KxSettings kxActive, kxPermanent;              // KX family
    KxSettings kxSecondActive, kxSecondPermanent;  // second half of a KX44
    ZrSettings zrActive, zrPermanent;              // ZR family
    // Every N-th ZR answer comes back one frame later than asked, as a busy
    // module's does (0: never); the count runs over the module's answers.
    int zrLateEvery = 0;
    int zrAnswerCount = 0;
};

// A whole simulated Korvel system: the controller (the VG unit) and its modules.
struct SimSystem {
    int statusCode = 0;  // 0 OK, 1 Hold, 2 Fault, 3 Fault+Hold (header bits 4-5)
    int protocolVersion = 3101;
    int systemType = 2;  // 1 VG-H, 2 VG-U, 3 VG-C, 10 WOBE
    int systemVersion = 1020;
    int capacity = 87;            // classic view: remaining capacity
    std::uint8_t dipBits = 0x05;  // classic view: bit i set = DIP switch i off
    std::vector<SimModule> modules;

    // What the controller was last told about itself.
    int vgConfigLow = 0, vgConfigHigh = 0, vgOptions = 0;
    bool vgConfigPermanent = false;
    int resetFaultCount = 0;
};

// The demo system: every family, a VG-U controller with protocol 3.10 A.
SimSystem demoSystem();
// The same modules behind a controller of protocol version 3100 (classic status view).
SimSystem classicDemoSystem();

}  // namespace korvel::sim
