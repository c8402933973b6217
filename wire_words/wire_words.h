#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "kx/settings.h"

namespace korvel {

// Frames in words, for a person reading the message log: who a frame is for,
// what it asks or reports, and the value with its meaning. Frames are given as
// they go over the wire, header to check byte. A frame that cannot be placed
// is called unknown and keeps its bytes in the words.
using WireBytes = std::span<const std::uint8_t>;

// "KX 2 · set HFI-level = 12 (permanent)", "status KX 5.1", "poll", ...
std::string requestWords(WireBytes request);
// "KX 2 HFI-level = 12", "status KX 5.1 · KX44 Active 1.10 A", "nothing held", ...
std::string answerWords(WireBytes answer);
// A KX setting as the log names it, with the words of its selectors:
// "Switch-delay on-delay bank 1".
std::string kxSettingWords(const KxSettingRow& row, const KxSelectors& selectors);
// The log's byte texts of a frame: " 2D 00 22 08".
std::string byteTexts(WireBytes frame);

}  // namespace korvel
