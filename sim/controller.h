#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <span>
#include <vector>

#include "link/frame.h"
#include "link/receiver.h"
#include "sim/system.h"

namespace korvel::sim {

// Data values of one frame (7-bit, without header and check byte).
using FrameData = std::vector<std::uint8_t>;

// How the controller answers the protocol version query (2; 1, 2): at once; as a
// message held behind those already waiting, fetched by later empty frames; or
// never (every answer to it is an empty frame). The status bits come at once.
enum class ProtocolAnswer { Direct, Queued, Never };

// Fault knobs; counters count down with every frame they affect.
struct SimFaults {
    bool silent = false;        // answer no frame at all
    int skipAnswers = 0;        // the next N frames get no answer
    int badCheckAnswers = 0;    // the next N answers carry a wrong check byte
    int garbageAnswers = 0;     // the next N answers come after stray bytes with bit 7 set
    int moduleAnswerDelay = 0;  // module answers become ready N frames later than usual
    std::chrono::milliseconds answerDelay{0};  // every answer is held this long
    int vanishAfterFrames = -1;  // the line disappears when this many more frames arrived
    ProtocolAnswer protocolAnswer = ProtocolAnswer::Direct;
    std::function<bool(const FrameData&)> unanswered;  // frames it returns true for get no answer
};

// One answer ready to go back on the line.
struct SimAnswer {
    std::vector<std::uint8_t> bytes;
    std::chrono::milliseconds delay{0};
};

// An answer before it is framed: data values and extra header bits (4-5).
struct SimReply {
    FrameData data;
    std::uint8_t headerBits = 0;
};

// The bus controller as the program sees it: every valid frame is answered by
// exactly one frame. Empty frames fetch the next message the controller holds.
class SimController {
  public:
    explicit SimController(SimSystem system);

    // Bytes from the program; returns the answers to the frames they completed.
    std::vector<SimAnswer> receive(std::span<const std::uint8_t> bytes);

    SimSystem& system() { return system_; }
    SimFaults& faults() { return faults_; }
    // Every valid frame received so far, as its data values, in order.
    const std::vector<FrameData>& framesReceived() const { return framesReceived_; }
    // Headers of those frames, to check the stop and toggle bits.
    const std::vector<std::uint8_t>& headersReceived() const { return headersReceived_; }
    // Decoder function commands (b1 40 or 44) as received.
    const std::vector<FrameData>& decoderCommands() const { return decoderCommands_; }
    // True once a vanish fault fired; the transport then drops the line.
    bool vanished() const { return vanished_; }

    // Queues a module's answer for a later empty frame.
    void queueMessage(FrameData data, std::uint8_t headerBits = 0);
    std::size_t pendingMessages() const { return messages_.size(); }

    // Frame bytes for an answer with these data values; `headerBits` adds
    // status bits (4-5) to the header.
    static std::vector<std::uint8_t> encodeAnswer(const FrameData& data,
                                                  std::uint8_t headerBits = 0);

  private:
    struct Message {
        FrameData data;
        std::uint8_t headerBits = 0;
        int readyAfter = 0;  // frames still to pass before it can be fetched
    };
    std::optional<SimAnswer> answerFrame(const FrameData& data);
    SimReply respond(const FrameData& data);
    SimReply nextMessage();

    SimSystem system_;
    SimFaults faults_;
    ReplyBuffer parsed_;
    FrameReceiver parser_{parsed_};
    std::deque<Message> messages_;
    std::vector<FrameData> framesReceived_;
    std::vector<std::uint8_t> headersReceived_;
    std::vector<FrameData> decoderCommands_;
    bool vanished_ = false;
};

}  // namespace korvel::sim
