#include "ui/qt_prompter.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

#include "ui/widget_kit.h"

namespace korvel::ui {

namespace {

// What a title bar needs beside its text: the icon and the close button.
constexpr int kTitleBarExtra = 120;

// A box is as wide as its text, and a short text would leave the title bar
// too narrow for the title: the box is widened to show all of it.
void fitTitle(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (grid == nullptr) return;
    const int width =
        QFontMetrics(QApplication::font()).horizontalAdvance(box.windowTitle()) + kTitleBarExtra;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

}  // namespace

MessageAnswer QtPrompter::show(const std::string& text, MessageIcon icon, MessageButtons buttons) {
    return run(text, {}, icon, buttons);
}

void QtPrompter::showWithDetail(const std::string& text, const std::string& detail,
                                MessageIcon icon) {
    run(text, detail, icon, MessageButtons::Ok);
}

MessageAnswer QtPrompter::run(const std::string& text, const std::string& detail, MessageIcon icon,
                              MessageButtons buttons) {
    QMessageBox box(parent_);
    box.setWindowTitle(QApplication::applicationName());
    box.setText(QString::fromStdString(text));
    if (!detail.empty()) box.setDetailedText(QString::fromStdString(detail));
    switch (icon) {
        case MessageIcon::None:
            box.setIcon(QMessageBox::NoIcon);
            break;
        case MessageIcon::Exclamation:
            box.setIcon(QMessageBox::Warning);
            break;
        case MessageIcon::Critical:
            box.setIcon(QMessageBox::Critical);
            break;
    }
    if (buttons == MessageButtons::Ok) {
        box.setStandardButtons(QMessageBox::Ok);
    } else {
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(buttons == MessageButtons::OkCancel ? QMessageBox::Ok
                                                                 : QMessageBox::Cancel);
    }
    fitTitle(box);
    const ArrowWhileWaiting arrow;
    return box.exec() == QMessageBox::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
}

}  // namespace korvel::ui
