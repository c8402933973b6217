#include "sim/controller.h"

#include <algorithm>

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

// A message waits for an empty frame after the one that caused it, so a
// delayed one needs at least that frame before its extra frames count.
void SimController::queueMessage(FrameData data, std::uint8_t headerBits) {
    int ready = faults_.moduleAnswerDelay;
    if (extraDelay_ > 0) ready = std::max(ready, 1) + extraDelay_;
    messages_.push_back({std::move(data), headerBits, ready});
}

void SimController::queueModuleAnswer(FrameData data, int framesLate) {
    messages_.push_back(
        {std::move(data), 0, faults_.moduleAnswerDelay + framesLate + extraDelay_, true});
}

void SimController::reconnect() {
    vanished_ = false;
    parser_.start();
}

void SimController::clearRecords() {
    framesReceived_.clear();
    headersReceived_.clear();
    decoderCommands_.clear();
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

std::optional<AimedFault> SimController::takeAimedFault(const FrameData& data) {
    if (!faults_.aimed || !faults_.aimed->hits || !faults_.aimed->hits(data)) return std::nullopt;
    std::optional<AimedFault> fault = std::move(faults_.aimed);
    faults_.aimed.reset();
    return fault;
}

void SimController::applyToAnswer(const AimedFault& fault, SimAnswer& answer) {
    switch (fault.kind) {
        case FaultKind::BadCheck:
            answer.bytes.back() ^= 0x01;
            break;
        case FaultKind::Garbage:
            answer.bytes.insert(answer.bytes.begin(), {0x90, 0x91});
            break;
        case FaultKind::Late:
            answer.delay = fault.late;
            break;
        case FaultKind::LateAside:
            answer.delay = fault.late;
            answer.aside = true;
            break;
        default:
            break;
    }
}

std::optional<SimAnswer> SimController::answerFrame(const FrameData& data) {
    for (Message& m : messages_)
        if (m.readyAfter > 0) --m.readyAfter;

    const std::optional<AimedFault> aimed = takeAimedFault(data);
    if (aimed && aimed->kind == FaultKind::NoAnswer) return std::nullopt;
    if (aimed && aimed->kind == FaultKind::Vanish) vanished_ = true;
    if (faults_.vanishAfterFrames >= 0 && faults_.vanishAfterFrames-- == 0) vanished_ = true;

    extraDelay_ = aimed && aimed->kind == FaultKind::DelayFrames ? aimed->frames : 0;
    SimReply reply = respond(data);
    // The answer itself waits at the head of the queue for an empty frame to fetch it.
    if (extraDelay_ > 0 && !reply.data.empty()) {
        messages_.push_front({std::move(reply.data), reply.headerBits, extraDelay_});
        reply.data.clear();
    }
    extraDelay_ = 0;
    if (vanished_ || faults_.silent) return std::nullopt;
    if (faults_.unanswered && faults_.unanswered(data)) return std::nullopt;
    if (faults_.skipAnswers > 0) {
        --faults_.skipAnswers;
        return std::nullopt;
    }

    if (faults_.bendAnswer) faults_.bendAnswer(reply.data);
    SimAnswer answer{encodeAnswer(reply.data, reply.headerBits), faults_.answerDelay};
    if (faults_.badCheckAnswers > 0) {
        --faults_.badCheckAnswers;
        answer.bytes.back() ^= 0x01;
    }
    if (faults_.garbageAnswers > 0) {
        --faults_.garbageAnswers;
        answer.bytes.insert(answer.bytes.begin(), {0x90, 0x91});
    }
    if (aimed) applyToAnswer(*aimed, answer);
    return answer;
}

SimReply SimController::nextMessage(bool moduleCommand) {
    if (messages_.empty() || messages_.front().readyAfter > 0) return {};
    if (moduleCommand && !messages_.front().ridesOnCommands) return {};
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
            return nextMessage(true);
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
