#pragma once

namespace korvel {

// The sub-commands of the classic view's summary query (3; 1, 3, sub); a
// bitmap answer repeats its sub-command in bits 4-7 of its first value.
enum Summary {
    kDipSwitches = 0,
    kCapacity = 1,
    kKxPresence = 2,
    kKxFaults = 3,
    kKxTypes = 4,
    kZrPresence = 6,
    kUnexamined = 127
};

}  // namespace korvel
