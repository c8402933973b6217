#include "status/status_query.h"

#include "status/version.h"

namespace korvel {

bool replyMatches(const ReplyBuffer& reply, int length, std::initializer_list<int> leading) {
    if (reply.dataCount() != length) return false;
    int index = 1;
    for (int expected : leading)
        if (reply[index++] != expected) return false;
    return true;
}

bool queryMatches(Link& link, const Frame& request, int length,
                  std::initializer_list<int> leading) {
    return link.Transact(request) && replyMatches(link.reply(), length, leading);
}

std::optional<ModuleAnswer> queryModule(Link& link, int address) {
    if (!queryMatches(link, Frame{kToController, kModuleStatus, address}, 6,
                      {kToController, kModuleStatus, address}))
        return std::nullopt;
    const ReplyBuffer& r = link.reply();
    return ModuleAnswer{r[4], versionNumber(r[5], r[6])};
}

}  // namespace korvel
