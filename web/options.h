#pragma once

#include <QStringList>
#include <string>

#include "web/web_server.h"

namespace korvel::web {

// One line: help2man takes the usage line as the synopsis and the rest as the description.
inline constexpr const char* kUsage =
    "Usage: korvel-web (-p PORT | --demo) [--listen ADDR:PORT] [--token-file FILE] "
    "[--read-only-token-file FILE] [--cert FILE --key FILE] [--allow-host NAME]... | --help | --version\n";

// What the command line asks: to serve, or only to say something.
enum class Start { Serve, Help, Version, Usage };

// Reads the command line (arguments[0] is the program) and KORVEL_PORT as
// korvelctl does; the token files are read here. Usage: `error` says why.
Start readOptions(const QStringList& arguments, const QString& portVariable,
                  ServerOptions& options, std::string& error);

// The address the page is opened at, with the token after '#', so that it
// never reaches a server log.
QString pageUrl(const ServerOptions& options, quint16 port);

}  // namespace korvel::web
