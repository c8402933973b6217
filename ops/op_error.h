#pragma once

#include <optional>
#include <string>

namespace korvel::ops {

// Every way an operation can end short of what was asked. Each front end says
// it in its own words; nothing compares texts.
enum class OpError {
    NoPort,         // no port is open, or it would not open
    LineLost,       // the line went away during the run
    NoAnswer,       // the controller or a module did not answer
    NotRegistered,  // the module did not answer the status request
    NotConfirmed,   // a module reported another value than the one written
    Differences,    // a module holds other values than the file
    Skipped,        // a module of the file is missing now, of another type, or unknown
    Verdict,        // the master/slave check found no master or several
    Refused,        // the value or setting is not one the module takes
    Stopped,        // the caller's stop request ended the run
};

// Where and why an operation failed. `module` ("kx:2.0") and `setting`
// ("hfi") are empty where they do not apply; `detail` carries what the
// system said (the port's own error), never a sentence to be matched.
struct OpFailure {
    OpError error = OpError::NoAnswer;
    std::string module;
    std::string setting;
    std::string detail;
};

using Failure = std::optional<OpFailure>;

}  // namespace korvel::ops
