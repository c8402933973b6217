#include "ui/up_down.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <algorithm>

#include "service/number_text.h"

namespace korvel::ui {

namespace {

QToolButton* arrowButton(Qt::ArrowType arrow, const QString& name, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setAccessibleName(name);
    button->setAutoRepeat(true);
    // The box keeps the keyboard focus; the arrows are for the mouse.
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

}  // namespace

UpDown::UpDown(QLineEdit* buddy, int minimum, int maximum, QWidget* parent)
    : QWidget(parent), buddy_(buddy), minimum_(minimum), maximum_(maximum) {
    up_ = arrowButton(Qt::UpArrow, "Up", this);
    down_ = arrowButton(Qt::DownArrow, "Down", this);
    connect(up_, &QToolButton::clicked, this, [this] { stepBy(1); });
    connect(down_, &QToolButton::clicked, this, [this] { stepBy(-1); });
    buddy_->installEventFilter(this);
}

void UpDown::stepBy(int steps) {
    const std::string text = buddy_->text().toStdString();
    const int value = readRanged(text, minimum_, maximum_).value;
    const int next = std::clamp(value + steps, minimum_, maximum_);
    const QString nextText = QString::number(next);
    if (nextText == buddy_->text()) return;
    buddy_->setText(nextText);
    emit changed();
}

bool UpDown::eventFilter(QObject* watched, QEvent* event) {
    if (watched == buddy_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            stepBy(key == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void UpDown::resizeEvent(QResizeEvent*) {
    const int half = height() / 2;
    up_->setGeometry(0, 0, width(), half);
    down_->setGeometry(0, half, width(), height() - half);
}

}  // namespace korvel::ui
