#include "tests/ui/window_rig.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include "ui/message_log.h"

namespace korvel::testing {

WindowRig::WindowRig(sim::SimSystem system) : SimLine(std::move(system)) {
    window = std::make_unique<ui::MainWindow>(port, clock, prompter);
    window->show();
    QApplication::setActiveWindow(window.get());
}

WindowRig::~WindowRig() = default;

QWidget* WindowRig::lookUp(const QString& path) const {
    // "dialog/box" for a box of one window where several have one of that name.
    const QString name = path.section('/', -1);
    if (path.contains('/')) {
        QWidget* owner = lookUp(path.section('/', 0, 0));
        return owner ? owner->findChild<QWidget*>(name) : nullptr;
    }
    QString base = name;
    int index = -1;
    if (name.endsWith(')') && !window->findChild<QWidget*>(name)) {
        base = name.left(name.indexOf('('));
        index = name.mid(base.size() + 1).chopped(1).toInt();
    }
    QList<QWidget*> roots{window.get()};
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top != window.get()) roots << top;
    for (QWidget* root : roots) {
        if (root->objectName() == name) return root;
        for (QWidget* w : root->findChildren<QWidget*>(base))
            if (index < 0 || w->property("index").toInt() == index) return w;
    }
    return nullptr;
}

QString WindowRig::shown(const QString& name) const {
    static const QColor green(0, 255, 0);
    QWidget* w = lookUp(name);
    if (!w) return "hidden";
    const auto confirmed = [&](QPalette::ColorRole role) {
        return w->palette().color(role) == green ? QString(" green") : QString();
    };
    if (auto* box = qobject_cast<QLineEdit*>(w)) return box->text() + confirmed(QPalette::Base);
    if (auto* text = qobject_cast<QPlainTextEdit*>(w)) return text->toPlainText();
    if (auto* list = qobject_cast<QComboBox*>(w)) {
        QStringList items;
        for (int i = 0; i < list->count(); ++i) items << list->itemText(i);
        return items.join('|');
    }
    if (!w->isVisible()) return "hidden";
    if (auto* button = qobject_cast<QAbstractButton*>(w); button && button->isCheckable())
        return (button->isChecked() ? "on" : "off") + confirmed(QPalette::Button);
    if (auto* label = qobject_cast<QLabel*>(w)) return label->text();
    return "shown";
}

void WindowRig::pickPort() {
    pick("cboPort", " 1");
}

void WindowRig::pick(const QString& combo, const QString& entry) {
    auto* box = find<QComboBox>(combo);
    const int index = box->findText(entry);
    ASSERT_GE(index, 0) << combo.toStdString() << ": " << entry.toStdString();
    box->setCurrentIndex(index);
    emit box->activated(index);
}

void WindowRig::click(const QString& button, Qt::KeyboardModifiers modifiers) {
    QWidget* w = find(button);
    ASSERT_TRUE(w && w->isVisible()) << button.toStdString();
    QTest::mouseClick(w, Qt::LeftButton, modifiers);
}

void WindowRig::type(const QString& box, const QString& text) {
    find<QLineEdit>(box)->setText(text);
}

void WindowRig::showTab(int index) {
    window->tabs()->setCurrentIndex(index);
}

void WindowRig::showLogAndTestFrame() {
    QTest::mouseDClick(find("lblCom"), Qt::LeftButton);
    window->activateWindow();
    QApplication::setActiveWindow(window.get());
}

void WindowRig::registerDemo() {
    pickPort();
    click("cmdStatus");
    ASSERT_EQ(shown("cboZR"), "All| 1| 6");
}

void WindowRig::tick() {
    if (polling()) window->pollTimer().tick();
}

bool WindowRig::polling() const {
    return window->pollTimer().timer.isActive();
}

QString WindowRig::logText() const {
    const ui::MessageLogWindow* log = window->messageLog().existingWindow();
    return log ? log->text() : QString();
}

void WindowRig::screenshot(QWidget* w, const QString& name) {
    if (!w) return;  // already reported missing
    QDir().mkpath(KORVEL_SCREENSHOT_DIR);
    QApplication::processEvents();
    EXPECT_TRUE(w->grab().save(QString(KORVEL_SCREENSHOT_DIR) + "/" + name + ".png"));
}

void awaitNotice(const RecordingPrompter& prompter) {
    QTimer giveUp;  // wakes the wait should the notice never come
    giveUp.setSingleShot(true);
    giveUp.start(2000);
    while (prompter.shown.empty() && giveUp.isActive())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QCoreApplication::processEvents();
}

}  // namespace korvel::testing
