#include "ui/qt_prompter.h"

#include <QApplication>
#include <QMessageBox>

#include "ui/widget_kit.h"

namespace korvel::ui {

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
    if (buttons == MessageButtons::OkCancel) {
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    const ArrowWhileWaiting arrow;
    return box.exec() == QMessageBox::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
}

}  // namespace korvel::ui
