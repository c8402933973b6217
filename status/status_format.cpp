#include "status/status_format.h"

#include "status/status_texts.h"
#include "status/table_slot.h"
#include "status/version.h"

namespace korvel {

namespace {

// A second half counts only when it reports itself as a KX44.
bool shownWhole(const ModuleFact& f) {
    return f.present() && (f.half == 0 || f.typeCode == kKx44);
}

}  // namespace

SystemTexts systemTexts(const SystemFacts& facts) {
    SystemTexts boxes;
    boxes.system = systemStatusText(facts.statusCode);
    if (facts.protocolVersion != -1) boxes.protVer = versionText(facts.protocolVersion);
    if (const char* prefix = systemTypeOf(facts.systemType).versionPrefix) boxes.sysVer = prefix;
    if (facts.systemVersion != -1) boxes.sysVer += versionText(facts.systemVersion);
    return boxes;
}

std::string vgTypeCaption(const SystemFacts& facts) {
    return systemTypeOf(facts.systemType).caption;
}

StandardStatusTexts::StandardStatusTexts() {
    kxType.fill(kNotAskedText);
    kxStatus.fill(kNotAskedText);
    kxVersion.fill(kNotAskedText);
    zrStatus.fill(kNotAskedText);
    zrVersion.fill(kNotAskedText);
    qhStatus.fill(kNotAskedText);
    qhVersion.fill(kNotAskedText);
}

ClassicStatusTexts::ClassicStatusTexts() {
    kxStatus.fill(kUnknownText);
    kxType.fill(kUnknownText);
    zrStatus.fill(kUnknownText);
}

std::string factStatusText(const ModuleFact& f) {
    if (!f.answered) return kNotAskedText;
    if (f.present() && !shownWhole(f)) return kWrongHalfText;
    return moduleStatusText(f.family, f.status);
}

std::string factVersionText(const ModuleFact& f) {
    return shownWhole(f) ? moduleVersionText(f.version) : kNotAskedText;
}

std::string factKxTypeText(const ModuleFact& f) {
    return f.present() ? kxTypeOf(f.status).text : kNotAskedText;
}

StandardStatusTexts standardStatusTexts(const StatusFacts& facts) {
    StandardStatusTexts t;
    t.system = systemTexts(facts.system);
    for (const ModuleFact& f : facts.modules) {
        const int n = f.number;
        switch (f.family) {
            case ModuleFamily::KX:
                if (f.half == 0) slot(t.kxType, n) = factKxTypeText(f);
                slot(t.kxStatus, f.kxIndex()) = factStatusText(f);
                slot(t.kxVersion, f.kxIndex()) = factVersionText(f);
                break;
            case ModuleFamily::ZR:
                slot(t.zrStatus, n) = factStatusText(f);
                slot(t.zrVersion, n) = factVersionText(f);
                break;
            case ModuleFamily::QH:
                slot(t.qhStatus, n) = factStatusText(f);
                slot(t.qhVersion, n) = factVersionText(f);
                break;
            case ModuleFamily::VG:  // the unit itself answers in the system boxes
                break;
        }
    }
    return t;
}

std::string classicKxStatusText(const ClassicFacts& c, int k) {
    if (!c.kxPresent) return kUnknownText;
    if (!c.kxActive(k)) return kClassicNotFoundText;
    if (!c.kxFaults) return kClassicActiveText;
    return ClassicFacts::bit(*c.kxFaults, k) ? kClassicFaultText : kClassicOkText;
}

std::string classicKxTypeText(const ClassicFacts& c, int k) {
    if (!c.kxccBits) return kUnknownText;
    if (!c.kxActive(k)) return kClassicNoTypeText;
    return classicKxTypeOf(ClassicFacts::bit(*c.kxccBits, k)).text;
}

std::string classicZrStatusText(const ClassicFacts& c, int k) {
    if (!c.zrPresent) return kUnknownText;
    return ClassicFacts::bit(*c.zrPresent, k) ? kClassicOkText : kClassicNotFoundText;
}

ClassicStatusTexts classicStatusTexts(const StatusFacts& facts) {
    const ClassicFacts& c = facts.summary;
    ClassicStatusTexts t;
    t.system = systemTexts(facts.system);
    if (c.capacity) t.cap = std::to_string(*c.capacity);
    if (c.dipBits)
        for (int i = 0; i < 4; ++i)
            slot(t.dip, i) = dipSwitchText(ClassicFacts::bit(*c.dipBits, i));
    for (int k = 0; k < 16; ++k) {
        slot(t.kxStatus, k) = classicKxStatusText(c, k);
        slot(t.kxType, k) = classicKxTypeText(c, k);
    }
    for (int k = 0; k < 8; ++k) slot(t.zrStatus, k) = classicZrStatusText(c, k);
    return t;
}

}  // namespace korvel
