#include "ui_model/function_test.h"

#include <cctype>

#include "service/number_text.h"

namespace korvel {

namespace {

// Whether a box's text starts with a number after its blanks; an empty box reads as 0.
bool startsWithNumber(const std::string& text) {
    const std::size_t start = text.find_first_not_of(' ');
    if (start == std::string::npos) return true;
    std::size_t at = start;
    if (text[at] == '+' || text[at] == '-') ++at;
    if (at < text.size() && text[at] == '.') ++at;
    return at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])) != 0;
}

// The rounded number of a box, or nullopt outside [0, maximum] or for a text
// that is no number ("zz" is refused, not read as 0); checked as a double so
// no text can overflow the integer it becomes.
std::optional<int> boxNumber(const std::string& text, int maximum) {
    if (!startsWithNumber(text)) return std::nullopt;
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
