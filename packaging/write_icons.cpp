// Writes the program's icon as hicolor theme PNGs (<dir>/<n>x<n>/apps/korvelconfig.png),
// taken from the same drawing that gives the windows their icon, so the desktop
// menu and the title bar can never disagree.
#include <QDir>
#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>
#include <cstdio>

#include "ui/style.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <icon theme directory>\n", argv[0]);
        return 2;
    }
    // Runs during the build, where there may be no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QDir theme(QString::fromLocal8Bit(argv[1]));
    const QIcon icon = korvel::ui::programIcon();
    for (const QSize size : icon.availableSizes()) {
        const QString folder = QString("%1x%2/apps").arg(size.width()).arg(size.height());
        const QPixmap pixmap = icon.pixmap(size);
        if (pixmap.size() != size || !theme.mkpath(folder) ||
            !pixmap.save(theme.filePath(folder + "/korvelconfig.png"))) {
            std::fprintf(stderr, "cannot write the %dx%d icon\n", size.width(), size.height());
            return 1;
        }
    }
    return 0;
}
