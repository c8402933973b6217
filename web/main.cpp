// korvel-web: the system from a browser, over the one line this program holds.
#include <QCoreApplication>
#include <csignal>
#include <iostream>

#include "generated/version.h"
#include "web/options.h"
#include "web/security.h"
#include "web/web_server.h"

namespace {

constexpr const char* kHelp =
    "Serves the Korvel system to browsers: the page at /, the API under /api/,\n"
    "events at /api/events and Prometheus metrics at /metrics.\n"
    "\n"
    "  -p, --port PORT             a port number 1-16, a device path, tcp://HOST:PORT\n"
    "                              or rfc2217://HOST:PORT; without it, KORVEL_PORT\n"
    "      --demo                  the built-in simulated system instead of a port\n"
    "      --listen ADDR:PORT      where to listen (default 127.0.0.1:8750)\n"
    "      --token-file FILE       the token, first line of FILE; without it one is\n"
    "                              made and printed once, in the page's address\n"
    "      --read-only-token-file FILE\n"
    "                              a second token that may read but never write\n"
    "      --cert FILE --key FILE  serve HTTPS with this PEM certificate and key\n"
    "      --allow-host NAME       a Host name the server answers for besides its\n"
    "                              address and localhost (repeatable)\n"
    "  -h, --help                  print this help\n"
    "  -V, --version               print the version\n";

bool loopback(const QHostAddress& address) {
    return address.isLoopback();
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::signal(SIGPIPE, SIG_IGN);
    korvel::web::ServerOptions options;
    std::string error;
    switch (korvel::web::readOptions(app.arguments(), qEnvironmentVariable("KORVEL_PORT"), options,
                                     error)) {
        case korvel::web::Start::Help:
            std::cout << korvel::web::kUsage << '\n' << kHelp;
            return 0;
        case korvel::web::Start::Version:
            std::cout << "korvel-web " << korvel::kReleaseText << '\n';
            return 0;
        case korvel::web::Start::Usage:
            std::cerr << "korvel-web: " << error << '\n' << korvel::web::kUsage;
            return 2;
        case korvel::web::Start::Serve:
            break;
    }
    // Beyond loopback a token is always there: the given one or a made one.
    const bool madeToken = options.token.isEmpty();
    if (madeToken) options.token = korvel::web::generatedToken();
    if (!loopback(options.address) && options.cert.isEmpty())
        std::cerr << "korvel-web: warning: listening on " << options.address.toString().toStdString()
                  << " without --cert/--key: the token and every value travel in clear. Prefer "
                     "listening on 127.0.0.1 and an SSH tunnel (ssh -L 8750:127.0.0.1:8750 HOST), "
                     "or give a certificate\n";
    korvel::web::WebServer server(options);
    if (const std::string why = server.start(); !why.empty()) {
        std::cerr << "korvel-web: " << why << '\n';
        return 1;
    }
    if (madeToken) {
        korvel::web::ServerOptions shown = options;
        std::cout << "korvel-web: open " << korvel::web::pageUrl(shown, server.port()).toStdString()
                  << std::endl;
    } else {
        std::cout << "korvel-web: listening on port " << server.port() << std::endl;
    }
    std::signal(SIGINT, [](int) { QCoreApplication::quit(); });
    std::signal(SIGTERM, [](int) { QCoreApplication::quit(); });
    return app.exec();
}
