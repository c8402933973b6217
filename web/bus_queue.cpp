#include "web/bus_queue.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QMetaObject>
#include <future>
#include <map>

#include "net_serial/net_serial_port.h"
#include "ops/system_ops.h"
#include "qt_serial/qt_serial_port.h"
#include "results_json/status_json.h"
#include "sim/pty_server.h"

namespace korvel::web {

namespace {

std::string utcNow() {
    return QDateTime::currentDateTimeUtc().toString(Qt::ISODate).toStdString();
}

class NoPolling final : public PollSwitch {
  public:
    void setPolling(bool) override {}
};

}  // namespace

// The line and the bus, made and used on the worker's thread only.
class BusQueue::Worker final : public JobContext, public LogSink {
  public:
    Worker(const std::optional<PortSpec>& port, const BusListeners& listeners,
           const std::atomic<bool>& cancel)
        : listeners_(listeners) {
        if (!port) {
            // At the line's pace, 19200 baud 8N1, so that a page sees a run as it would go.
            demo_ = std::make_unique<sim::PtyServer>(sim::demoSystem());
            demo_->setByteTime(std::chrono::nanoseconds(10'000'000'000 / 19200));
        }
        spec_ = port ? *port : PortSpec::device(demo_->devicePath());
        bus_.link().setFailureListener([this](ExchangeOutcome outcome, const std::string&) {
            if (outcome != ExchangeOutcome::LineLost || lost_) return;
            lost_ = true;
            tell(QJsonObject{{"type", "line"}, {"state", "lost"}});
        });
        bus_.stopRequest = [&cancel] { return cancel ? std::string("cancelled") : std::string(); };
        bus_.progress = [this](const ops::RunProgress& p) {
            tell(QJsonObject{{"type", "progress"},
                             {"run", QString::fromStdString(run)},
                             {"done", static_cast<qint64>(p.done)},
                             {"total", static_cast<qint64>(p.total)},
                             {"module", QString::fromStdString(p.module)},
                             {"setting", QString::fromStdString(p.setting)}});
        };
    }

    // The run in hand, as progress names it.
    std::string run;

    // Opens the port when it is not open (at start, and after a lost line).
    std::string open() {
        if (port_.isOpen()) return {};
        if (port_.open(spec_)) return {};
        const std::string detail = port_.openErrorDetail();
        return detail.empty() ? "the port would not open" : detail;
    }

    ops::Bus& bus() override { return bus_; }

    bool registered() override { return bus_.facts() || !requestStatus(false); }

    ops::Failure requestStatus(bool classic) override {
        const ops::Failure failure = ops::requestStatus(bus_, classic);
        if (!failure) tellModules(*bus_.facts());
        return failure;
    }

    void exchanged(const ExchangeRecord& record) override {
        if (lost_ && !record.answer.empty()) {
            lost_ = false;
            tell(QJsonObject{{"type", "line"}, {"state", "back"}});
        }
        if (listeners_.exchanged) listeners_.exchanged(record);
    }

  private:
    void tell(const QJsonObject& event) {
        if (listeners_.event) listeners_.event(event);
    }

    // Each module whose row changed since the last status request.
    void tellModules(const StatusFacts& facts) {
        const QDateTime now = QDateTime::currentDateTimeUtc();
        const QString time = now.toString(Qt::ISODate);
        const QJsonArray rows = results::statusJson(facts).value("modules").toArray();
        if (listeners_.status) listeners_.status(rows, now);
        for (const QJsonValue& row : rows) {
            QJsonObject module = row.toObject();
            const QString name = module.value("module").toString();
            if (modules_[name] == module) continue;
            modules_[name] = module;
            module.insert("type-name", module.take("type"));
            module.insert("type", "module");
            module.insert("time", time);
            tell(module);
        }
    }

    const BusListeners& listeners_;
    std::unique_ptr<sim::PtyServer> demo_;
    PortSpec spec_;
    QtSerialPort serial_;
    net::NetSerialPort network_;
    net::RoutedPort port_{serial_, network_};
    SteadyClock clock_;
    NoPolling poll_;
    ops::Bus bus_{port_, clock_, *this, poll_};
    bool lost_ = false;
    std::map<QString, QJsonObject> modules_;
};

BusQueue::BusQueue(std::optional<PortSpec> port, QObject* home, BusListeners listeners)
    : port_(std::move(port)), home_(home), listeners_(std::move(listeners)) {}

BusQueue::~BusQueue() {
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
        cancel_ = true;
    }
    wake_.notify_all();
    if (thread_) thread_->wait();
}

std::string BusQueue::start() {
    std::promise<std::string> opened;
    std::future<std::string> result = opened.get_future();
    // A QThread: the serial port's notifiers need one.
    thread_.reset(QThread::create([this, &opened] {
        Worker worker(port_, listeners_, cancel_);
        opened.set_value(worker.open());
        loopWith(worker);
    }));
    thread_->start();
    return result.get();
}

std::optional<BusQueue::RunState> BusQueue::run() const {
    std::lock_guard lock(mutex_);
    return run_;
}

std::optional<Reply> BusQueue::submit(JobKind kind, const char* runName, Work work,
                                      std::function<void(const Reply&)> done) {
    std::lock_guard lock(mutex_);
    if (kind != JobKind::Read && run_) {
        const std::string message =
            "a " + run_->name + " is running, started at " + run_->started;
        const QJsonObject error{{"code", "busy"},
                                {"module", QJsonValue()},
                                {"setting", QJsonValue()},
                                {"message", QString::fromStdString(message)}};
        return Reply{409, QJsonDocument(QJsonObject{{"error", error}}).toJson(QJsonDocument::Compact)};
    }
    if (kind == JobKind::Run) {
        run_ = RunState{runName, utcNow()};
        cancel_ = false;
        if (listeners_.event)
            listeners_.event(QJsonObject{{"type", "run"},
                                         {"run", runName},
                                         {"state", "started"},
                                         {"started", QString::fromStdString(run_->started)}});
    }
    jobs_.push_back(Job{kind, kind == JobKind::Run ? runName : "", std::move(work), std::move(done)});
    wake_.notify_one();
    return std::nullopt;
}

bool BusQueue::cancelRun() {
    std::lock_guard lock(mutex_);
    if (!run_) return false;
    cancel_ = true;
    return true;
}

void BusQueue::loopWith(Worker& worker) {
    for (;;) {
        Job job;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return quit_ || !jobs_.empty(); });
            if (quit_) return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        Reply reply;
        if (const std::string why = worker.open(); !why.empty()) {
            const QJsonObject error{{"code", "port"},
                                    {"module", QJsonValue()},
                                    {"setting", QJsonValue()},
                                    {"message", QString::fromStdString("cannot open the port: " + why)}};
            reply = Reply{503, QJsonDocument(QJsonObject{{"exit", 1}, {"error", error}})
                                   .toJson(QJsonDocument::Compact)};
        } else {
            worker.run = job.run;
            reply = job.work(worker);
        }
        if (job.kind == JobKind::Run) {
            std::string started;
            {
                std::lock_guard lock(mutex_);
                started = run_ ? run_->started : "";
                run_.reset();
                cancel_ = false;
            }
            if (listeners_.event)
                listeners_.event(QJsonObject{{"type", "run"},
                                             {"run", QString::fromStdString(job.run)},
                                             {"state", "ended"},
                                             {"started", QString::fromStdString(started)}});
        }
        QMetaObject::invokeMethod(home_, [done = std::move(job.done), reply] { done(reply); },
                                  Qt::QueuedConnection);
    }
}

}  // namespace korvel::web
