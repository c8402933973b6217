#include "sim/controller.h"

#include "sim/handlers.h"

namespace korvel::sim {

SimController::SimController(SimSystem system) : system_(std::move(system)) {
    parser_.start();
}

std::vector<std::uint8_t> SimController::encodeAnswer(const FrameData& data,
                                                      std::uint8_t headerBits) {
    std::vector<CommandByte> values(data.begin(), data.end());
    const auto header = static_cast<std::uint8_t>(8 + data.size() + headerBits);
    std::vector<std::uint8_t> bytes{header};
    for (std::uint8_t d : data) bytes.push_back(static_cast<std::uint8_t>(d | 0x80));
    bytes.push_back(checkByte(header, values));
    return bytes;
}

void SimController::queueMessage(FrameData data, std::uint8_t headerBits) {
    messages_.push_back({std::move(data), headerBits, faults_.moduleAnswerDelay});
}

std::vector<SimAnswer> SimController::receive(std::span<const std::uint8_t> bytes) {
    std::vector<SimAnswer> answers;
    for (std::uint8_t b : bytes) {
        if (!parser_.feed(b)) continue;
        const bool valid = parser_.checksumOk();
        FrameData data(parsed_.bytes.begin() + 1, parsed_.bytes.begin() + 1 + parsed_.dataCount());
        const std::uint8_t header = parsed_.bytes[0];
        parser_.start();
        if (!valid || vanished_) continue;  // a real controller ignores a damaged frame
        framesReceived_.push_back(data);
        headersReceived_.push_back(header);
        if (auto answer = answerFrame(data)) answers.push_back(std::move(*answer));
    }
    return answers;
}

std::optional<SimAnswer> SimController::answerFrame(const FrameData& data) {
    for (Message& m : messages_)
        if (m.readyAfter > 0) --m.readyAfter;

    if (faults_.vanishAfterFrames >= 0 && faults_.vanishAfterFrames-- == 0) vanished_ = true;
    const SimReply reply = respond(data);
    if (vanished_ || faults_.silent) return std::nullopt;
    if (faults_.unanswered && faults_.unanswered(data)) return std::nullopt;
    if (faults_.skipAnswers > 0) {
        --faults_.skipAnswers;
        return std::nullopt;
    }

    SimAnswer answer{encodeAnswer(reply.data, reply.headerBits), faults_.answerDelay};
    if (faults_.badCheckAnswers > 0) {
        --faults_.badCheckAnswers;
        answer.bytes.back() ^= 0x01;
    }
    if (faults_.garbageAnswers > 0) {
        --faults_.garbageAnswers;
        answer.bytes.insert(answer.bytes.begin(), {0x90, 0x91});
    }
    return answer;
}

SimReply SimController::nextMessage() {
    if (messages_.empty() || messages_.front().readyAfter > 0) return {};
    SimReply reply{std::move(messages_.front().data), messages_.front().headerBits};
    messages_.pop_front();
    return reply;
}

SimReply SimController::respond(const FrameData& data) {
    if (data.empty()) return nextMessage();
    switch (data[0]) {
        case 1:
            if (auto reply = answerControllerCommand(*this, data)) return *reply;
            return {};
        case 0:
            if (!handleKxCommand(*this, data)) handleZrCommand(*this, data);
            return {};
        case 40:
        case 44:
            decoderCommands_.push_back(data);
            return {};
        default:
            return {};
    }
}

SimModule* findModule(SimSystem& system, ModuleFamily family, int number) {
    for (SimModule& m : system.modules)
        if (m.family == family && m.number == number) return &m;
    return nullptr;
}

}  // namespace korvel::sim
