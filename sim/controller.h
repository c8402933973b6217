#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
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

// What an aimed fault does to the one frame it hits.
enum class FaultKind {
    NoAnswer,     // the frame is lost on its way in: not acted on, not answered
    BadCheck,     // acted on; its answer carries a wrong check byte
    Garbage,      // acted on; stray bytes with bit 7 set go before its answer
    DelayFrames,  // acted on; its answer, or the module answer it causes, comes `frames` frames
                  // later
    Late,         // acted on; its answer is held for `late`, and the line with it
    LateAside,    // acted on; its answer comes `late` later, while later frames are answered
                  // on time (a module whose answer the controller relays late)
    Vanish,       // acted on; then the line disappears before the answer
};

// A fault that hits the first frame `hits` returns true for, once.
struct AimedFault {
    FaultKind kind = FaultKind::NoAnswer;
    std::function<bool(const FrameData&)> hits;
    int frames = 0;
    std::chrono::nanoseconds late{0};
};

// Fault knobs; counters count down with every frame they affect.
struct SimFaults {
    bool silent = false;        // answer no frame at all
    int skipAnswers = 0;        // the next N frames get no answer
    int badCheckAnswers = 0;    // the next N answers carry a wrong check byte
    int garbageAnswers = 0;     // the next N answers come after stray bytes with bit 7 set
    int moduleAnswerDelay = 0;  // module answers become ready N frames later than usual
    std::chrono::nanoseconds answerDelay{0};  // every answer is held this long
    int vanishAfterFrames = -1;  // the line disappears when this many more frames arrived
    ProtocolAnswer protocolAnswer = ProtocolAnswer::Direct;
    std::function<bool(const FrameData&)> unanswered;  // frames it returns true for get no answer
    std::optional<AimedFault> aimed;                   // cleared once it has hit
    std::function<void(FrameData&)> bendAnswer;        // changes every answer's data
};

// One answer ready to go back on the line.
struct SimAnswer {
    std::vector<std::uint8_t> bytes;
    std::chrono::nanoseconds delay{0};
    bool aside = false;  // later answers may go out before it
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
    // The line is back, as when the adapter is plugged in again.
    void reconnect();
    // Forgets the frames recorded so far, so a long run does not grow.
    void clearRecords();

    // Queues a module's answer for a later empty frame.
    void queueMessage(FrameData data, std::uint8_t headerBits = 0);
    // Queues a module's answer that may also come back with the response to a
    // later module command, as ZR32 answers do; `framesLate` more frames must
    // pass first (0: it can answer the very command that asked for it).
    void queueModuleAnswer(FrameData data, int framesLate);
    std::size_t pendingMessages() const { return messages_.size(); }

    // Frame bytes for an answer with these data values; `headerBits` adds
    // status bits (4-5) to the header.
    static std::vector<std::uint8_t> encodeAnswer(const FrameData& data,
                                                  std::uint8_t headerBits = 0);

  private:
    struct Message {
        FrameData data;
        std::uint8_t headerBits = 0;
        int readyAfter = 0;            // frames still to pass before it can be fetched
        bool ridesOnCommands = false;  // also fetched by the response to a module command
    };
    std::optional<SimAnswer> answerFrame(const FrameData& data);
    std::optional<AimedFault> takeAimedFault(const FrameData& data);
    static void applyToAnswer(const AimedFault& fault, SimAnswer& answer);
    SimReply respond(const FrameData& data);
    SimReply nextMessage(bool moduleCommand = false);

    SimSystem system_;
    SimFaults faults_;
    ReplyBuffer parsed_;
    FrameReceiver parser_{parsed_};
    std::deque<Message> messages_;
    std::vector<FrameData> framesReceived_;
    std::vector<std::uint8_t> headersReceived_;
    std::vector<FrameData> decoderCommands_;
    bool vanished_ = false;
    int extraDelay_ = 0;  // frames added to the answers of a frame a DelayFrames fault hit
};

}  // namespace korvel::sim
