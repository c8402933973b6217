#pragma once

#include <QLocale>
#include <string>

#include "ui_model/prompter.h"

class QCoreApplication;
class QTranslator;

namespace korvel::ui {

// Loads the window's translation for `locale` and Qt's own (standard buttons,
// file dialogs) into `app`. A locale without a translation of the window gets
// neither, so a box never mixes two languages; the C locale keeps the texts as
// they are written. The translators are children of `app`.
void installTranslations(QCoreApplication& app, const QLocale& locale);

// Takes the translators installTranslations installed out again.
void removeTranslations(QCoreApplication& app);

// A text marked with KORVEL_TEXT, in the language of the installed translation.
QString translated(const std::string& text);

// Shows its boxes through another prompter with their texts translated, so
// that the routines below the window can keep their untranslated texts.
class TranslatedPrompter final : public Prompter {
  public:
    explicit TranslatedPrompter(Prompter& shown) : shown_(shown) {}
    MessageAnswer show(const std::string& text, MessageIcon icon, MessageButtons buttons) override;
    void showWithDetail(const std::string& text, const std::string& detail,
                        MessageIcon icon) override;

  private:
    Prompter& shown_;
};

}  // namespace korvel::ui
