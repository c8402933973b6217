#include "status/status_steps.h"

namespace korvel {

StatusSteps::StatusSteps(Link& link, int retries) : link_(link), retries_(retries) {
    if (retries_ == 0) oneBox_.emplace(link_);
}

bool StatusSteps::ask(const Frame& request) {
    if (silent()) return false;
    for (int attempt = 0;; ++attempt) {
        const Link::QuickLoss quick(link_, attempt < retries_);
        if (link_.Transact(request)) {
            failedInRow_ = 0;
            return true;
        }
        if (attempt == retries_ || !link_.portOpen()) break;
    }
    ++failedInRow_;
    return false;
}

bool StatusSteps::askMatching(const Frame& request, int length,
                              std::initializer_list<int> leading) {
    return ask(request) && replyMatches(link_.reply(), length, leading);
}

bool replyMatches(const ReplyBuffer& reply, int length, std::initializer_list<int> leading) {
    if (reply.dataCount() != length) return false;
    int index = 1;
    for (int expected : leading)
        if (reply[index++] != expected) return false;
    return true;
}

}  // namespace korvel
