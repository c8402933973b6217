#include "web/options.h"

#include <QCommandLineParser>
#include <QFile>

#include "net_serial/net_address.h"
#include "service/ports.h"

namespace korvel::web {

namespace {

// The first line of a token file; empty when it cannot be read.
QByteArray tokenFrom(const QString& path, std::string& error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = "cannot read " + path.toStdString() + ": " + file.errorString().toStdString();
        return {};
    }
    const QByteArray token = file.readLine(4096).trimmed();
    if (token.size() < 16) error = path.toStdString() + " holds no token of 16 characters or more";
    return token;
}

bool readListen(const QString& text, ServerOptions& options) {
    const qsizetype colon = text.lastIndexOf(':');
    if (colon <= 0) return false;
    QString host = text.left(colon);
    if (host.startsWith('[') && host.endsWith(']')) host = host.mid(1, host.size() - 2);
    bool number = false;
    const uint port = text.mid(colon + 1).toUInt(&number);
    if (!number || port > 65535 || !options.address.setAddress(host)) return false;
    options.port = static_cast<quint16>(port);
    return true;
}

}  // namespace

Start readOptions(const QStringList& arguments, const QString& portVariable,
                  ServerOptions& options, std::string& error) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions({{{"p", "port"}, "", "PORT"},
                       {"demo", ""},
                       {"listen", "", "ADDR:PORT"},
                       {"token-file", "", "FILE"},
                       {"read-only-token-file", "", "FILE"},
                       {"cert", "", "FILE"},
                       {"key", "", "FILE"},
                       {"allow-host", "", "NAME"},
                       {{"h", "help"}, ""},
                       {{"V", "version"}, ""}});
    if (!parser.parse(arguments)) {
        error = parser.errorText().toLower().toStdString();
        return Start::Usage;
    }
    if (!parser.positionalArguments().isEmpty()) {
        error = "no argument \"" + parser.positionalArguments().front().toStdString() + "\" is taken";
        return Start::Usage;
    }
    if (parser.isSet("help")) return Start::Help;
    if (parser.isSet("version")) return Start::Version;
    const QString port = parser.isSet("port") ? parser.value("port") : portVariable;
    if (parser.isSet("demo") == !port.isEmpty()) {
        error = parser.isSet("demo") ? "give either -p PORT or --demo" : "give -p PORT, KORVEL_PORT or --demo";
        return Start::Usage;
    }
    if (!parser.isSet("demo")) {
        options.line = parsePortSpec(port.toStdString());
        if (!options.line ||
            (options.line->kind == PortSpec::Kind::Network && !net::parseNetAddress(port.toStdString()))) {
            error = std::string(parser.isSet("port") ? "-p" : "KORVEL_PORT") +
                    " takes a port number 1..16, a device path, tcp://HOST:PORT or rfc2217://HOST:PORT";
            return Start::Usage;
        }
    }
    options.lineName = parser.isSet("demo") ? QString("demo") : port;
    if (parser.isSet("listen") && !readListen(parser.value("listen"), options)) {
        error = "--listen takes ADDR:PORT, e.g. 127.0.0.1:8750 or [::1]:8750";
        return Start::Usage;
    }
    if (parser.isSet("cert") != parser.isSet("key")) {
        error = "--cert and --key go together";
        return Start::Usage;
    }
    options.cert = parser.value("cert");
    options.key = parser.value("key");
    options.allowHosts = parser.values("allow-host");
    if (parser.isSet("token-file")) options.token = tokenFrom(parser.value("token-file"), error);
    if (error.empty() && parser.isSet("read-only-token-file"))
        options.readOnlyToken = tokenFrom(parser.value("read-only-token-file"), error);
    if (error.empty() && !options.token.isEmpty() && options.token == options.readOnlyToken)
        error = "the read-only token must differ from the token";
    return error.empty() ? Start::Serve : Start::Usage;
}

QString pageUrl(const ServerOptions& options, quint16 port) {
    const bool any = options.address == QHostAddress::Any || options.address == QHostAddress::AnyIPv4 ||
                     options.address == QHostAddress::AnyIPv6;
    QString host = any ? QString("127.0.0.1") : options.address.toString();
    if (host.contains(':')) host = "[" + host + "]";
    return QString(options.cert.isEmpty() ? "http" : "https") + "://" + host + ":" + QString::number(port) +
           "/#token=" + QString::fromLatin1(options.token);
}

}  // namespace korvel::web
