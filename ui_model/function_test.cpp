#include "ui_model/function_test.h"

#include "service/number_text.h"

namespace korvel {

namespace {

// The rounded number of a box, or nullopt outside [0, maximum]; checked as a
// double so no text can overflow the integer it becomes.
std::optional<int> boxNumber(const std::string& text, int maximum) {
    const double value = roundHalfEven(leadingNumber(text));
    if (value < 0.0 || value > maximum) return std::nullopt;
    return static_cast<int>(value);
}

}  // namespace

std::variant<Frame, std::string> functionTestFrame(FunctionGroup group,
                                                   const FunctionTestInputs& inputs) {
    const std::optional<int> block = boxNumber(inputs.blockText, kMaxBlock);
    if (!block) return std::string(kBlockOutOfRange);
    const std::optional<int> decoder = boxNumber(inputs.decoderText, kMaxDecoder);
    if (!decoder) return std::string(kDecoderOutOfRange);
    return FunctionGroupFrame(group, *block, *decoder, patternByte(inputs.pattern));
}

void SendFunctionPattern(Link& link, Prompter& prompter, int index,
                         const FunctionTestInputs& inputs) {
    if (!link.portOpen()) {
        prompter.show(kSelectComPort, MessageIcon::None);
        return;
    }
    const std::optional<FunctionGroup> group = functionGroup(index);
    if (!group) return;
    const std::variant<Frame, std::string> frame = functionTestFrame(*group, inputs);
    if (const auto* refusal = std::get_if<std::string>(&frame)) {
        prompter.show(*refusal, MessageIcon::Exclamation);
        return;
    }
    link.Transact(std::get<Frame>(frame));
}

}  // namespace korvel
