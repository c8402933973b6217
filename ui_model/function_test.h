#pragma once

#include <array>
#include <optional>
#include <string>
#include <variant>

#include "link/link.h"
#include "testpanel/function_frame.h"
#include "ui_model/prompter.h"

namespace korvel {

// What the test frame's boxes hold when a group button is pressed.
struct FunctionTestInputs {
    std::string blockText = "0";    // Text_Block
    std::string decoderText = "1";  // Text_Decoder
    std::array<bool, 8> pattern{};  // Check_Pattern(0..7)
};

// Reads the block and decoder boxes (halves to even); a number a frame cannot
// carry gives the message that refuses it instead of a frame.
std::variant<Frame, std::string> functionTestFrame(FunctionGroup group,
                                                   const FunctionTestInputs& inputs);

// Button Command1(index): sends the pattern of that group straight to the link.
// Nothing is sent with the port closed, for an out-of-range box (the message
// names the allowed range and the box keeps its text), or for an unknown index.
void SendFunctionPattern(Link& link, Prompter& prompter, int index,
                         const FunctionTestInputs& inputs);

inline constexpr const char* kSelectComPort = KORVEL_TEXT("Korvel", "Please select com-port");
inline constexpr const char* kBlockOutOfRange =
    KORVEL_TEXT("Korvel", "Block must be a number from 0 to 127");
inline constexpr const char* kDecoderOutOfRange =
    KORVEL_TEXT("Korvel", "Decoder must be a number from 0 to 16383");

}  // namespace korvel
