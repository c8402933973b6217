#include "web/metrics.h"

namespace korvel::web {

void Metrics::exchanged(const ExchangeRecord& record) {
    ++exchanges_;
    if (record.unanswered) ++missing_;
    if (!record.checkError.empty()) ++checkErrors_;
    setAside_ += record.setAside.size();
}

void Metrics::status(const QJsonArray& modules, const QDateTime& time) {
    std::lock_guard lock(mutex_);
    modules_ = modules;
    time_ = time.toSecsSinceEpoch();
}

QByteArray Metrics::text() const {
    QByteArray out;
    const auto counter = [&](const char* name, const char* help, std::uint64_t value) {
        out += QByteArray("# HELP ") + name + " " + help + "\n# TYPE " + name + " counter\n" + name +
               " " + QByteArray::number(static_cast<qulonglong>(value)) + "\n";
    };
    counter("korvel_exchanges_total", "Exchanges on the line since start.", exchanges_);
    counter("korvel_answers_missing_total", "Exchanges that got no answer.", missing_);
    counter("korvel_check_byte_errors_total", "Answers with a wrong check byte.", checkErrors_);
    counter("korvel_frames_set_aside_total", "Frames that could not answer the request in hand.",
            setAside_);
    counter("korvel_lines_lost_total", "Times the line was lost.", lost_);
    std::lock_guard lock(mutex_);
    const auto gauge = [&](const char* name, const char* help, auto valueOf) {
        out += QByteArray("# HELP ") + name + " " + help + "\n# TYPE " + name + " gauge\n";
        for (const QJsonValue& row : modules_) {
            const QJsonObject m = row.toObject();
            out += QByteArray(name) + "{module=\"" + m.value("module").toString().toLatin1() +
                   "\",type=\"" + m.value("type").toString().toLatin1() + "\"} " + valueOf(m) + "\n";
        }
    };
    const auto state = [](const char* text) {
        return [text](const QJsonObject& m) -> QByteArray {
            return m.value("status").toString() == text ? "1" : "0";
        };
    };
    gauge("korvel_module_answering", "1 when the module answered the last status request.",
          [](const QJsonObject& m) -> QByteArray { return m.value("answering").toBool() ? "1" : "0"; });
    gauge("korvel_module_fault", "1 when the last status request reported the module in fault.",
          state("Fault"));
    gauge("korvel_module_hold", "1 when the last status request reported the module on hold.",
          state("Hold"));
    if (time_ != 0)
        out += "# HELP korvel_status_timestamp_seconds When the last status request completed, in Unix "
               "seconds.\n# TYPE korvel_status_timestamp_seconds gauge\nkorvel_status_timestamp_seconds " +
               QByteArray::number(time_) + "\n";
    return out;
}

}  // namespace korvel::web
