#include "ui/message_log.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>

#include "ui/placement.h"
#include "ui/twips.h"

namespace korvel::ui {

namespace {

constexpr Placement kMessageLogPlacements[] = {
    {"txtMsgLog", nullptr, 120, 120, 7095, 6855},
    {"cmdClear", "Clear Log", 120, 7080, 1215, 375},
};

}  // namespace

MessageLogWindow::MessageLogWindow(QWidget* parent) : QDialog(parent) {
    setObjectName("dlgMsgLog");
    setWindowTitle("Message Log");
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(twips(7320), twips(7605));

    txtMsgLog_ = makePlaced<QPlainTextEdit>(kMessageLogPlacements, "txtMsgLog", this);
    txtMsgLog_->setAccessibleName("Message Log");
    txtMsgLog_->setLineWrapMode(QPlainTextEdit::NoWrap);
    // What went over the wire is a record: it can be selected and copied, not
    // edited or undone, and no undo history doubles its memory.
    txtMsgLog_->setReadOnly(true);
    txtMsgLog_->setUndoRedoEnabled(false);
    txtMsgLog_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    txtMsgLog_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont font("Lucida Console", 9);
    if (!QFontInfo(font).fixedPitch()) font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(9);
    txtMsgLog_->setFont(font);

    cmdClear_ = makePlaced<QPushButton>(kMessageLogPlacements, "cmdClear", this);
    connect(cmdClear_, &QPushButton::clicked, this, [this] {
        pending_.clear();
        txtMsgLog_->clear();
    });
}

void MessageLogWindow::appendPiece(std::string_view piece) {
    QString text = QString::fromLatin1(piece.data(), static_cast<qsizetype>(piece.size()));
    text.remove(QLatin1Char('\r'));
    if (isVisible())
        insertAtEnd(text);
    else
        pending_ += text;
}

// Escape hides the window; only its close box discards the log.
void MessageLogWindow::reject() {
    hide();
}

void MessageLogWindow::showEvent(QShowEvent* event) {
    if (!pending_.isEmpty()) {
        insertAtEnd(pending_);
        pending_.clear();
    }
    QDialog::showEvent(event);
}

void MessageLogWindow::insertAtEnd(const QString& text) {
    QScrollBar* bar = txtMsgLog_->verticalScrollBar();
    const bool following = bar->value() == bar->maximum();
    // In one edit block the cursor does not lay out the last line again just
    // to learn its own horizontal position; a tenth of the cost of an append.
    QTextCursor cursor(txtMsgLog_->document());
    cursor.beginEditBlock();
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text);
    cursor.endEditBlock();
    // Follow new lines only while the user is looking at the end.
    if (following) bar->setValue(bar->maximum());
}

QString MessageLogWindow::text() const {
    return txtMsgLog_->toPlainText() + pending_;
}

MessageLogWindow* MessageLog::window() {
    if (!window_) {
        window_ = new MessageLogWindow(owner_);
        window_->setWindowFlag(Qt::Window);
    }
    return window_;
}

void MessageLog::showWindow() {
    MessageLogWindow* w = window();
    w->show();
    w->raise();
    w->activateWindow();
}

void MessageLog::closeWindow() {
    if (window_) window_->close();
}

}  // namespace korvel::ui
