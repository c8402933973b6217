#pragma once

#include <QList>
#include <QSet>
#include <QString>

class QPushButton;

namespace korvel::ui {

// Gives each of `buttons` an access key (Alt+letter): the first letter (else
// digit) of its caption that neither `taken` nor an earlier button holds;
// buttons of one caption share their letter. When a caption has no free one
// left, it shares one with other buttons, but never one of `taken`. Done on the shown captions, so
// it holds for every language. A button keeps its accessible name, which Qt
// reads from the caption without the marker. Returns `taken` and the letters given.
QSet<QChar> giveAccessKeys(const QList<QPushButton*>& buttons, QSet<QChar> taken = {});

// Gives `button` a new caption with the access key it had, where the new
// caption holds that letter; else its first letter.
void recaption(QPushButton* button, const QString& caption);

// A caption as the user reads it: without its access-key marker.
QString withoutAccessKey(const QString& caption);

}  // namespace korvel::ui
