#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "tests/ui/window_rig.h"
#include "ui/qt_prompter.h"
#include "ui/translations.h"
#include "ui_model/kx_routines.h"

namespace korvel::testing {
namespace {

using Texts = std::vector<std::string>;

// The boxes the window raises from below it, in the language of the locale.
// A locale without a translation keeps the texts as they are written.
// What is raised, how; the texts as written and in English.
const std::tuple<const char*, void (*)(WindowRig&), Texts, Texts> kRaised[] = {
    {"no port",
     [](WindowRig& w) { w.click("cmdReset"); },
     {"Selecteer communicatie poort"},
     {"Select communication port"}},
    {"no answer",
     [](WindowRig& w) {
         w.pickPort();
         w.controller.faults().silent = true;
         w.click("cmdReset");
     },
     {"Geen antwoord van Korvel"},
     {"No answer from Korvel"}},
    {"erase refused",
     [](WindowRig& w) {
         w.registerDemo();
         w.prompter.shown.clear();
         w.prompter.answer = MessageAnswer::Cancel;
         w.showTab(0);
         w.click("cmdErase");
     },
     {kEraseWarning, "Operation Cancelled"},
     {kEraseWarning, "Operation Cancelled"}},
};

using Locale = std::pair<const char*, bool>;  // the locale, whether it speaks English
const Locale kLocales[] = {
    {"C", false}, {"nl_NL", false}, {"de_DE", false}, {"en_GB", true}, {"en_US", true}};

struct LanguageTest : ::testing::TestWithParam<Locale> {
    void SetUp() override { ui::installTranslations(*qApp, QLocale(GetParam().first)); }
    void TearDown() override { ui::removeTranslations(*qApp); }
};

TEST_P(LanguageTest, BoxesSpeakOneLanguage) {
    for (const auto& [what, raise, written, english] : kRaised) {
        WindowRig w;
        raise(w);
        EXPECT_EQ(w.prompter.texts(), GetParam().second ? english : written) << what;
    }
}

TEST_P(LanguageTest, TheOpenFailureSaysSoWithoutDutch) {
    EXPECT_EQ(ui::translated(kOpenPortFailed).toStdString(),
              GetParam().second ? "Error opening COM port" : kOpenPortFailed);
}

INSTANTIATE_TEST_SUITE_P(Locales, LanguageTest, ::testing::ValuesIn(kLocales),
                         [](const auto& info) { return std::string(info.param.first); });

// The box as the user meets it: its text, what Enter answers, its width and its
// title's.
struct ShownBox {
    QString text, defaultButton;
    int width = 0, titleWidth = 0;
};

ShownBox showAndRead(Prompter& prompter, MessageButtons buttons, const char* text = "Ok?") {
    ShownBox seen;
    QTimer::singleShot(0, [&seen, text] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        QPushButton* enter = box->defaultButton();
        seen = {box->text(), enter ? enter->text() : QString(), box->width(),
                box->fontMetrics().horizontalAdvance(box->windowTitle())};
        if (text == kSelectPort) WindowRig::screenshot(box, "english_box");
        box->reject();
    });
    prompter.show(text, MessageIcon::Exclamation, buttons);
    return seen;
}

TEST(QtPrompterTest, EnterAnswersCancelOnlyWhereAskedAndTheTitleShowsWhole) {
    ui::QtPrompter prompter;
    EXPECT_EQ(showAndRead(prompter, MessageButtons::OkCancel).defaultButton, "OK");
    EXPECT_EQ(showAndRead(prompter, MessageButtons::OkCancelDefaultCancel).defaultButton, "Cancel");
    const QString name = QApplication::applicationName();
    QApplication::setApplicationName("KorvelConfig 1.30A service window");
    const ShownBox seen = showAndRead(prompter, MessageButtons::Ok);
    QApplication::setApplicationName(name);
    EXPECT_GT(seen.width, seen.titleWidth + 100);
}

// The box as an English desktop shows it, drawn for the README.
TEST(QtPrompterTest, AnEnglishDesktopGetsAnEnglishBox) {
    ui::installTranslations(*qApp, QLocale("en_GB"));
    ui::QtPrompter shown;
    ui::TranslatedPrompter prompter(shown);
    EXPECT_EQ(showAndRead(prompter, MessageButtons::Ok, kSelectPort).text,
              "Select communication port");
    ui::removeTranslations(*qApp);
}

}  // namespace
}  // namespace korvel::testing
