#pragma once

#include "link/frame.h"

namespace korvel {

// Whether `reply` can be the controller's answer to `request`. The drain before
// a request cannot catch a frame still on the wire, so a late answer to an
// earlier request may arrive while this one waits; it must not be taken.
// - An empty frame is answered by whatever the controller holds: any frame.
// - A status query is answered by a frame that repeats its leading bytes, or by
//   an empty frame when the controller has nothing ready; the protocol version
//   query also by a held message (its answer can follow on later empty frames),
//   but never by another query's answer.
// - Any other request cannot be answered by a status query's answer.
bool canAnswer(const Frame& request, const ReplyBuffer& reply);

}  // namespace korvel
