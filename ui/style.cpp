#include "ui/style.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include "generated/version.h"

namespace korvel::ui {

void applyApplicationStyle(QApplication& app) {
    QApplication::setApplicationName("KorvelConfig");
    QApplication::setApplicationVersion(kReleaseText);
    // The layouts were drawn for a narrow 8 pt dialog font; Liberation Sans has
    // the metrics that keep every caption whole in its box.
    QFont font("Liberation Sans", 8);
    font.setStyleHint(QFont::SansSerif);
    app.setFont(font);
    app.setWindowIcon(programIcon());
}

QIcon programIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        const qreal s = size;
        // A controller box with a bus line and three module taps.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x1f, 0x4e, 0x79));
        p.drawRoundedRect(QRectF(0.04 * s, 0.04 * s, 0.92 * s, 0.92 * s), 0.16 * s, 0.16 * s);
        p.setBrush(QColor(0x8f, 0xd1, 0x4f));
        p.drawRect(QRectF(0.16 * s, 0.46 * s, 0.68 * s, 0.08 * s));
        for (qreal x : {0.22, 0.46, 0.70}) {
            p.drawRect(QRectF(x * s, 0.22 * s, 0.08 * s, 0.26 * s));
            p.drawRect(QRectF((x - 0.04) * s, 0.16 * s, 0.16 * s, 0.12 * s));
        }
        p.setBrush(QColor(0xff, 0xff, 0xff));
        p.drawRect(QRectF(0.38 * s, 0.62 * s, 0.24 * s, 0.20 * s));
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace korvel::ui
