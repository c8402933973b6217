#include "sim/system.h"

namespace korvel::sim {

namespace {

SimModule kxModule(int number, std::uint8_t typeBits, int version) {
    SimModule m;
    m.family = ModuleFamily::KX;
    m.number = number;
    m.status = static_cast<std::uint8_t>(kAnswered | typeBits);
    m.version = version;
    return m;
}

SimModule zrModule(int number, int version) {
    SimModule m;
    m.family = ModuleFamily::ZR;
    m.number = number;
    m.version = version;
    // A module that has been set up: a few devices with their own times and power modes.
    for (int d = 0; d < 64; ++d) {
        m.zrActive.devices[static_cast<std::size_t>(d)] = {d % 5 == 0 ? 0 : 6 * (d % 20), d % 4};
    }
    m.zrPermanent = m.zrActive;
    return m;
}

}  // namespace

SimSystem demoSystem() {
    SimSystem s;
    s.statusCode = 0;
    s.protocolVersion = 3101;
    s.systemType = 2;
    s.systemVersion = 1020;

    s.modules.push_back(kxModule(0, kTypeBitsKXH, 2013));
    SimModule kx44 = kxModule(2, kTypeBitsKX44, 1017);
    kx44.secondHalfStatus = static_cast<std::uint8_t>(kAnswered | kTypeBitsKX44);
    kx44.secondHalfVersion = 1017;
    s.modules.push_back(kx44);
    s.modules.push_back(kxModule(3, kTypeBitsWobe, 1102));
    SimModule idle = kxModule(5, kTypeBitsKXH, 2013);
    idle.status |= kIdle;
    s.modules.push_back(idle);

    // Exactly one master among the KX-H and KX44 modules.
    for (SimModule& m : s.modules) {
        const int ms = m.number == 0 ? 1 : 2;
        m.kxActive.value[11] = m.kxPermanent.value[11] = ms;
        m.kxSecondActive.value[11] = m.kxSecondPermanent.value[11] = 2;
        for (KxSettings* k :
             {&m.kxActive, &m.kxPermanent, &m.kxSecondActive, &m.kxSecondPermanent}) {
            k->value[1] = 7;    // HFI level
            k->value[9] = 4;    // PWM multiplier
            k->value[13] = 50;  // loop current A
            k->value[14] = 50;  // loop current B
            k->value[15] = m.number;
        }
    }

    s.modules.push_back(zrModule(1, 1031));
    s.modules.push_back(zrModule(6, 1031));

    SimModule qh;
    qh.family = ModuleFamily::QH;
    qh.number = 4;
    qh.version = 1005;
    s.modules.push_back(qh);
    return s;
}

SimSystem classicDemoSystem() {
    SimSystem s = demoSystem();
    s.protocolVersion = 3100;
    return s;
}

}  // namespace korvel::sim
