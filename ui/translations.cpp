#include "ui/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace korvel::ui {

namespace {

constexpr const char* kTranslatorName = "korvelTranslator";

void install(QTranslator* translator) {
    translator->setObjectName(kTranslatorName);
    QCoreApplication::installTranslator(translator);
}

}  // namespace

void installTranslations(QCoreApplication& app, const QLocale& locale) {
    auto* own = new QTranslator(&app);
    if (!own->load(locale, "korvelconfig", "_", ":/translations")) {
        delete own;
        return;
    }
    install(own);
    auto* qt = new QTranslator(&app);
    if (qt->load(locale, "qtbase", "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        install(qt);
    else
        delete qt;
}

void removeTranslations(QCoreApplication& app) {
    for (QTranslator* translator : app.findChildren<QTranslator*>(kTranslatorName)) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
}

QString translated(const std::string& text) {
    return QCoreApplication::translate(kTextContext, text.c_str());
}

MessageAnswer TranslatedPrompter::show(const std::string& text, MessageIcon icon,
                                       MessageButtons buttons) {
    return shown_.show(translated(text).toStdString(), icon, buttons);
}

void TranslatedPrompter::showWithDetail(const std::string& text, const std::string& detail,
                                        MessageIcon icon) {
    shown_.showWithDetail(translated(text).toStdString(), detail, icon);
}

}  // namespace korvel::ui
