#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QPair>
#include <QThread>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "link/exchange_record.h"
#include "link/port_name.h"
#include "ops/bus.h"

namespace korvel::web {

// What a request is answered with.
struct Reply {
    using Headers = QList<QPair<QByteArray, QByteArray>>;
    Reply(int status = 200, QByteArray body = {}, QByteArray contentType = "application/json",
          Headers headers = {})
        : status(status), body(std::move(body)), contentType(std::move(contentType)),
          headers(std::move(headers)) {}

    int status;
    QByteArray body;
    QByteArray contentType;
    Headers headers;
};

// A job's view of the line: the bus, and the status request every command
// stands on.
class JobContext {
  public:
    virtual ~JobContext() = default;
    virtual ops::Bus& bus() = 0;
    // The modules registered by a status request: the last one, or a new one
    // when none completed yet. False when it did not complete.
    virtual bool registered() = 0;
    // A status request; its modules' changes go to the events.
    virtual ops::Failure requestStatus(bool classic) = 0;
};

enum class JobKind { Read, Write, Run };

// What the worker tells whoever listens; called on the worker's thread.
struct BusListeners {
    std::function<void(const ExchangeRecord&)> exchanged;
    std::function<void(const QJsonObject&)> event;
    // Every module row of a completed status request, and when it completed.
    std::function<void(const QJsonArray&, const QDateTime&)> status;
};

// One worker thread owns the line and the Bus; every exchange goes through
// its queue, one job at a time, in the order they came. While a backup,
// verify or restore is queued or running, writes and other runs are refused.
class BusQueue {
  public:
    // `port` nullopt: the simulated system on a pseudo-terminal. `home` is the
    // object whose thread gets each job's reply.
    BusQueue(std::optional<PortSpec> port, QObject* home, BusListeners listeners);
    ~BusQueue();
    BusQueue(const BusQueue&) = delete;
    BusQueue& operator=(const BusQueue&) = delete;

    // Opens the port on the worker's thread; empty, or why it would not open.
    std::string start();

    struct RunState {
        std::string name, started;  // "restore", "2026-12-08T03:40:12Z"
    };
    std::optional<RunState> run() const;

    using Work = std::function<Reply(JobContext&)>;
    // Queues `work`; `done` gets its reply on the home thread. A write or run
    // while a run is queued or going is answered at once with the refusal.
    std::optional<Reply> submit(JobKind kind, const char* runName, Work work,
                                std::function<void(const Reply&)> done);
    // Asks the run in hand to stop before its next exchange; false when none is going.
    bool cancelRun();

  private:
    struct Job {
        JobKind kind;
        std::string run;
        Work work;
        std::function<void(const Reply&)> done;
    };
    class Worker;

    void loopWith(Worker& worker);

    std::optional<PortSpec> port_;
    QObject* home_;
    BusListeners listeners_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Job> jobs_;
    std::optional<RunState> run_;
    bool quit_ = false;
    std::atomic<bool> cancel_{false};
    std::unique_ptr<QThread> thread_;
};

}  // namespace korvel::web
