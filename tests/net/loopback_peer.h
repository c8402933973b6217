#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace korvel::testing {

using Bytes = std::vector<std::uint8_t>;

// The peer's end of one connection, for a script to play. Every wait is
// bounded, and every loop ends when the client has gone.
class PeerSide {
  public:
    explicit PeerSide(int fd) : fd_(fd) {}

    // False once the client has gone.
    bool send(const Bytes& bytes);
    // Takes what the client sends for up to `wait`; false once it has gone.
    bool take(std::chrono::milliseconds wait);
    // Takes until the client has sent `pattern` at or after `from`; the
    // position just after it, or 0 when it did not come within `wait`.
    std::size_t awaitSent(const Bytes& pattern, std::size_t from = 0,
                          std::chrono::milliseconds wait = std::chrono::seconds(5));
    // Agrees to COM-PORT-OPTION when the client offers it and confirms each
    // line setting as it comes, with the value asked or, for SET-BAUDRATE,
    // `baud` when given. False when the client stopped before the last one.
    bool agree(const Bytes& baud = {});
    // Sends `chunk` again and again, `pause` apart, until the client goes or
    // `limit` passes.
    void keepSending(const Bytes& chunk, std::chrono::milliseconds pause = {},
                     std::chrono::milliseconds limit = std::chrono::seconds(20));
    // Closes at once with a reset instead of an orderly end.
    void reset();

    const Bytes& received() const { return received_; }

  private:
    int fd_;
    Bytes received_;
};

// A server on the loopback interface, at a port the system picks, that plays
// `script` against the first client and then closes. `ready()` turns true
// when the script calls `markReady` (for a test that acts at that moment).
class LoopbackPeer {
  public:
    using Script = std::function<void(PeerSide&, LoopbackPeer&)>;

    explicit LoopbackPeer(Script script);
    ~LoopbackPeer();
    LoopbackPeer(const LoopbackPeer&) = delete;
    LoopbackPeer& operator=(const LoopbackPeer&) = delete;

    std::string address(const std::string& scheme) const;
    // Everything the client sent, once the script has run.
    Bytes received();
    void markReady() { ready_ = true; }
    bool ready() const { return ready_; }

  private:
    int listener_ = -1;
    int port_ = 0;
    Bytes received_;
    std::atomic<bool> ready_{false};
    std::thread thread_;
};

}  // namespace korvel::testing
