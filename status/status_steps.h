#pragma once

#include <initializer_list>
#include <optional>

#include "link/link.h"

namespace korvel {

// The exchanges of one status request. A step whose exchange got no answer is
// sent again, up to `retries` more times; a read changes nothing. Two steps in
// a row that failed after all their tries mean the controller has gone silent:
// nothing more is sent and the request has no result.
class StatusSteps {
  public:
    StatusSteps(Link& link, int retries);
    StatusSteps(const StatusSteps&) = delete;
    StatusSteps& operator=(const StatusSteps&) = delete;

    // One step; true when an answer came (it is in reply()).
    bool ask(const Frame& request);
    // One step whose answer must carry `length` data bytes and repeat the
    // request's leading bytes in R1, R2, ...
    bool askMatching(const Frame& request, int length, std::initializer_list<int> leading);

    const ReplyBuffer& reply() const { return link_.reply(); }
    bool silent() const { return failedInRow_ >= 2; }
    // The request ran to its end on a live line.
    bool complete() const { return link_.portOpen() && !silent(); }

  private:
    Link& link_;
    int retries_;
    int failedInRow_ = 0;
    // Without retries a step is one exchange, and the link's own rule keeps the
    // second unanswered exchange in a row from raising a second box.
    std::optional<Link::LossTolerance> oneBox_;
};

// An answer to a status query carries `length` data bytes and repeats the
// request's leading bytes in R1, R2, ...
bool replyMatches(const ReplyBuffer& reply, int length, std::initializer_list<int> leading);

}  // namespace korvel
