#include "ctl/output.h"

#include <QJsonDocument>

#include "ctl/cli.h"

namespace korvel::ctl {

namespace {

std::string oneLine(std::string text) {
    for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;) text.erase(at, 1);
    for (char& c : text)
        if (c == '\n') c = ' ';
    return text;
}

}  // namespace

std::string controllerSilent() {
    return std::string("the controller did not answer (\"") + kWindowNoAnswer + "\")";
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

void Output::take(const QJsonObject& members) {
    for (auto it = members.begin(); it != members.end(); ++it) result.insert(it.key(), it.value());
}

int Output::finish(int exit) {
    if (!json_) return exit;
    QJsonObject o = result;
    o.insert("exit", exit);
    if (!command.empty()) o.insert("command", QString::fromStdString(command));
    if (error_)
        o.insert("error", results::errorJson(error_->code, error_->module, error_->setting,
                                             error_->message));
    terminal_.out << QJsonDocument(o)
                         .toJson(compact ? QJsonDocument::Compact : QJsonDocument::Indented)
                         .toStdString();
    if (compact) terminal_.out << '\n';
    terminal_.out.flush();
    return exit;
}

}  // namespace korvel::ctl
