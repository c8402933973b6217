#include "ctl/output.h"

#include <QJsonDocument>

#include "ctl/cli.h"
#include "service/dispatch.h"
#include "ui_model/outcome_boxes.h"

namespace korvel::ctl {

namespace {

struct WindowText {
    const char* text;
    const char* english;
    ErrorCode code;
};
const WindowText kWindowTexts[] = {
    {kOpenPortFailed, "cannot open the port", ErrorCode::Port},
    {kSelectPort, "no port is open", ErrorCode::Port},
    {kNoAnswer, "the controller did not answer", ErrorCode::NoAnswer},
    {kRequestStatusFirst, "no module of the family answered the status request",
     ErrorCode::NotRegistered},
    {kOperationCancelled, "cancelled", ErrorCode::Cancelled},
};

std::string oneLine(std::string text) {
    for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;) text.erase(at, 1);
    for (char& c : text)
        if (c == '\n') c = ' ';
    return text;
}

}  // namespace

const char* errorCodeName(ErrorCode code) {
    switch (code) {
        case ErrorCode::Usage:
            return "usage";
        case ErrorCode::Port:
            return "port";
        case ErrorCode::LineLost:
            return "line-lost";
        case ErrorCode::NoAnswer:
            return "no-answer";
        case ErrorCode::NotRegistered:
            return "not-registered";
        case ErrorCode::NotConfirmed:
            return "not-confirmed";
        case ErrorCode::Differences:
            return "differences";
        case ErrorCode::Skipped:
            return "skipped";
        case ErrorCode::Verdict:
            return "verdict";
        case ErrorCode::Cancelled:
            return "cancelled";
        case ErrorCode::File:
            return "file";
        case ErrorCode::Stopped:
            return "stopped";
    }
    return "failed";
}

std::string inEnglish(const std::string& windowText) {
    for (const WindowText& w : kWindowTexts)
        if (windowText == w.text) return std::string(w.english) + " (\"" + w.text + "\")";
    return windowText;
}

void Output::line(const std::string& text) const {
    if (!json_ && !quiet_) terminal_.out << text << '\n';
}

void Output::note(const std::string& text) const {
    if (!quiet_) terminal_.message(oneLine(text));
}

void Output::warn(const std::string& text) const {
    terminal_.message(oneLine(text));
}

int Output::fail(ErrorCode code, const std::string& message, const std::string& module,
                 const std::string& setting, bool say) {
    if (say) terminal_.message(oneLine(message));
    if (!error_) error_ = Error{code, module, setting, oneLine(message)};
    return code == ErrorCode::Usage ? kExitUsage : kExitFailed;
}

int Output::finish(int exit) {
    if (!json_) return exit;
    QJsonObject o = result;
    o.insert("exit", exit);
    if (!command.empty()) o.insert("command", QString::fromStdString(command));
    if (error_) {
        const auto opt = [](const std::string& s) {
            return s.empty() ? QJsonValue() : QJsonValue(QString::fromStdString(s));
        };
        o.insert("error", QJsonObject{{"code", errorCodeName(error_->code)},
                                      {"module", opt(error_->module)},
                                      {"setting", opt(error_->setting)},
                                      {"message", QString::fromStdString(error_->message)}});
    }
    terminal_.out << QJsonDocument(o)
                         .toJson(compact ? QJsonDocument::Compact : QJsonDocument::Indented)
                         .toStdString();
    if (compact) terminal_.out << '\n';
    terminal_.out.flush();
    return exit;
}

MessageAnswer OutputPrompter::show(const std::string& text, MessageIcon, MessageButtons) {
    showWithDetail(text, {}, MessageIcon::None);
    return MessageAnswer::Ok;
}

void OutputPrompter::showWithDetail(const std::string& text, const std::string& detail,
                                    MessageIcon) {
    ErrorCode code = ErrorCode::NoAnswer;
    for (const WindowText& w : kWindowTexts)
        if (text == w.text) code = w.code;
    output_.fail(code, inEnglish(text) + (detail.empty() ? "" : ": " + detail));
}

}  // namespace korvel::ctl
