// korvelctl: the Korvel system from a terminal.
#include <unistd.h>

#include <QCoreApplication>
#include <iostream>

#include "ctl/cli.h"
#include "ctl/qt_line.h"
#include "generated/version.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("korvelctl");
    QCoreApplication::setApplicationVersion(korvel::kReleaseText);
    korvel::ctl::QtLineAccess line;
    korvel::ctl::FdOutput output(STDOUT_FILENO);
    std::ostream out(&output);
    // An erase asks for a typed confirmation only where someone can type it.
    const korvel::ctl::Terminal terminal{out, std::cerr, ::isatty(STDERR_FILENO) == 1,
                                         ::isatty(STDIN_FILENO) == 1 ? &std::cin : nullptr,
                                         &std::cin, &output};
    return korvel::ctl::runKorvelctl(QCoreApplication::arguments(), line, terminal);
}
