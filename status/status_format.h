#pragma once

#include <array>
#include <string>

#include "status/status_facts.h"
#include "status/system_query.h"

namespace korvel {

// The system as both status views and the backup file spell it.
struct SystemTexts {
    std::string system = "Unknown";
    std::string protVer = "Unknown";
    std::string sysVer = "Unknown";
    std::string license = "Unknown";  // no query reports it
    bool operator==(const SystemTexts&) const = default;
};

// The system's texts as the facts fill them.
SystemTexts systemTexts(const SystemFacts& facts);

// The VG unit's type as the window shows it.
std::string vgTypeCaption(const SystemFacts& facts);

// Every box of the standard dialog after a request; a module that did not
// answer keeps "-".
struct StandardStatusTexts {
    SystemTexts system;
    std::array<std::string, 16> kxType;
    std::array<std::string, 32> kxStatus;  // 16..31: second halves of KX44 modules
    std::array<std::string, 32> kxVersion;
    std::array<std::string, 8> zrStatus;
    std::array<std::string, 8> zrVersion;
    std::array<std::string, 16> qhStatus;
    std::array<std::string, 16> qhVersion;

    StandardStatusTexts();
    bool operator==(const StandardStatusTexts&) const = default;
};

// Every box of the classic dialog after a request; unanswered queries leave
// "Unknown" (the DIP boxes stay empty).
struct ClassicStatusTexts {
    SystemTexts system;
    std::string cap = kUnknownText;
    std::array<std::string, 4> dip;
    std::array<std::string, 16> kxStatus;
    std::array<std::string, 16> kxType;
    std::array<std::string, 8> zrStatus;

    ClassicStatusTexts();
    bool operator==(const ClassicStatusTexts&) const = default;
};

StandardStatusTexts standardStatusTexts(const StatusFacts& facts);
ClassicStatusTexts classicStatusTexts(const StatusFacts& facts);

// One module's boxes in the standard view: "-" when its step got no answer.
std::string factStatusText(const ModuleFact& fact);
std::string factVersionText(const ModuleFact& fact);
std::string factKxTypeText(const ModuleFact& fact);

// One module's boxes in the classic view: "Unknown" when its summary got no answer.
std::string classicKxStatusText(const ClassicFacts& facts, int k);
std::string classicKxTypeText(const ClassicFacts& facts, int k);
std::string classicZrStatusText(const ClassicFacts& facts, int k);

}  // namespace korvel
