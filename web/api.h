#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QUrlQuery>
#include <variant>

#include "web/bus_queue.h"

namespace korvel::web {

// A route's work on the line: what kind of job it is, and the job.
struct ApiJob {
    JobKind kind = JobKind::Read;
    const char* run = "";  // the run's name for JobKind::Run
    BusQueue::Work work;
};

// What a request under /api/ asks: `path` split at '/' after "api", the
// query, the body. Either a job for the queue, or a reply at once (a request
// refused before anything is sent). Nothing from the request reaches a file,
// a command line or a format: it is read into typed values here.
std::variant<Reply, ApiJob> apiRoute(const QByteArray& method, const QStringList& path,
                                     const QUrlQuery& query, const QByteArray& body);

// Whether a route writes to the system: the read-only token is refused there.
bool writes(const QByteArray& method, const QStringList& path, const QUrlQuery& query);

// {"error": {...}} for a refusal before any command ran.
Reply refusal(int status, const char* code, const std::string& message);

// The HTTP status a korvelctl error code stands for.
int httpStatus(const QString& errorCode);

}  // namespace korvel::web
