#pragma once

#include <QJsonObject>
#include <optional>
#include <string>

#include "ctl/terminal.h"
#include "results_json/results_json.h"

namespace korvel::ctl {

using results::ErrorCode;

// Where a run says what it found: results on standard output (text, or one
// JSON object at the end), messages on standard error, one line each, behind
// "korvelctl: ". -q keeps only the errors.
class Output {
  public:
    Output(const Terminal& terminal, bool json, bool quiet)
        : terminal_(terminal), json_(json), quiet_(quiet) {}

    bool json() const { return json_; }
    bool quiet() const { return quiet_; }
    // The run's object on one line: the last of monitor's JSON Lines.
    bool compact = false;
    // A line of the text result.
    void line(const std::string& text) const;
    // A message that is not a failure (a corrected value, progress).
    void note(const std::string& text) const;
    // A failure: said at once; the first one is the JSON's error. Returns the
    // exit status it stands for.
    // `say` false: standard output has said it already.
    int fail(ErrorCode code, const std::string& message, const std::string& module = {},
             const std::string& setting = {}, bool say = true);
    // A message that belongs with a failure: said even with -q.
    void warn(const std::string& text) const;
    bool failed() const { return error_.has_value(); }

    // The members of the run's JSON object, and the command's words it names.
    QJsonObject result;
    // Adds a command's members to the result.
    void take(const QJsonObject& members);
    std::string command;
    // Prints the JSON object (with its error, if any) and returns `exit`.
    int finish(int exit);

  private:
    struct Error {
        ErrorCode code;
        std::string module, setting, message;
    };
    const Terminal& terminal_;
    bool json_, quiet_;
    std::optional<Error> error_;
};

// The window's own words, quoted after korvelctl's where a user may know the
// window: "no port is open (\"Selecteer communicatie poort\")".
inline constexpr const char* kWindowOpenPortFailed = "Fout bij openen COM poort";
inline constexpr const char* kWindowSelectPort = "Selecteer communicatie poort";
inline constexpr const char* kWindowNoAnswer = "Geen antwoord van Korvel";
inline constexpr const char* kWindowRequestStatusFirst =
    "Please request Status first to register modules";
inline constexpr const char* kWindowOperationCancelled = "Operation Cancelled";

// "the controller did not answer (\"Geen antwoord van Korvel\")"
std::string controllerSilent();

}  // namespace korvel::ctl
