#pragma once

#include <QDialog>
#include <QPointer>

#include "link/log_sink.h"
#include "service/prompter.h"

class QPlainTextEdit;
class QPushButton;

namespace korvel::ui {

// `dlgMsgLog`: every frame on the wire, one line per exchange.
class MessageLogWindow final : public QDialog {
    Q_OBJECT
  public:
    explicit MessageLogWindow(QWidget* parent);

    // Appends at the end of the text without rewriting it; CR LF ends a line.
    void appendPiece(std::string_view piece);
    // The whole log, including what arrived while the window was hidden.
    QString text() const;

    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void insertAtEnd(const QString& text);

    QPlainTextEdit* txtMsgLog_;
    // While nobody looks, pieces gather here and reach the box in one insert
    // when it is shown: a hidden log then costs the same at any length.
    QString pending_;
    QPushButton* cmdClear_;
};

// The log as the link writes to it: the window is made on the first append,
// hidden; closing it discards it and its text.
class MessageLog final : public LogSink {
  public:
    explicit MessageLog(QWidget* owner) : owner_(owner) {}

    void append(std::string_view piece) override { window()->appendPiece(piece); }
    MessageLogWindow* window();
    MessageLogWindow* existingWindow() const { return window_; }
    void showWindow();
    void closeWindow();

  private:
    QWidget* owner_;
    QPointer<MessageLogWindow> window_;
};

}  // namespace korvel::ui
