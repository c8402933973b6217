#include "ui/access_keys.h"

#include <QHash>
#include <QPushButton>

namespace korvel::ui {

namespace {

// The position of the first letter of `caption` that is not in `taken`, else
// of the first such digit ("F5..F8"), or -1.
qsizetype freeLetter(const QString& caption, const QSet<QChar>& taken) {
    for (const bool letters : {true, false}) {
        for (qsizetype i = 0; i < caption.size(); ++i) {
            const QChar c = caption[i].toLower();
            if ((letters ? c.isLetter() : c.isDigit()) && !taken.contains(c)) return i;
        }
    }
    return -1;
}

}  // namespace

QSet<QChar> giveAccessKeys(const QList<QPushButton*>& buttons, QSet<QChar> taken) {
    const QSet<QChar> shared = taken;
    QHash<QString, QString> given;
    for (QPushButton* button : buttons) {
        const QString caption = button->text();
        if (caption.isEmpty() || caption.contains('&')) continue;
        if (const auto known = given.constFind(caption); known != given.cend()) {
            button->setText(*known);
            continue;
        }
        // With every letter of the caption taken, its first one is shared: Alt
        // and that letter then moves the focus between the buttons that share it.
        qsizetype at = freeLetter(caption, taken);
        if (at < 0) at = freeLetter(caption, shared);
        if (at < 0) continue;
        taken.insert(caption[at].toLower());
        QString marked = caption;
        marked.insert(at, '&');
        given.insert(caption, marked);
        button->setText(marked);
    }
    return taken;
}

void recaption(QPushButton* button, const QString& caption) {
    const QString old = button->text();
    const qsizetype key = old.indexOf('&');
    const QSet<QChar> none;
    qsizetype at = key < 0 ? -1 : caption.indexOf(old[key + 1], 0, Qt::CaseInsensitive);
    if (at < 0) at = freeLetter(caption, none);
    QString marked = caption;
    if (at >= 0) marked.insert(at, '&');
    button->setText(marked);
}

QString withoutAccessKey(const QString& caption) {
    return QString(caption).remove('&');
}

}  // namespace korvel::ui
