#pragma once

#include <QDialog>
#include <QPointer>
#include <functional>

#include "link/log_sink.h"
#include "service/prompter.h"
#include "ui/message_log_model.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableView;

namespace korvel::ui {

// `dlgMsgLog`: every frame on the wire, one line per exchange, with its time,
// the answer's delay and the frames in words beside it.
class MessageLogWindow final : public QDialog {
    Q_OBJECT
  public:
    explicit MessageLogWindow(QWidget* parent);

    // One exchange, as lines of the log; the view follows the end while the
    // user looks at the end.
    void addRecord(const ExchangeRecord& record);
    // The whole log as its text, line ends as LF, including what arrived while
    // the window was hidden or held.
    QString text() const;
    // The selected lines, or all when none is, as "Copy" puts them on the clipboard.
    QString copyText() const;
    // Writes the log to `textPath` and, as JSON Lines, beside it with the
    // suffix ".jsonl". Returns what went wrong, or an empty text.
    QString saveTo(const QString& textPath) const;
    static QString jsonPathOf(const QString& textPath);

    LogModel& model() { return model_; }
    void reject() override;

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    LineParts chosenParts() const;
    void cmdSave_Click();
    void showColumns();

    LogModel model_;
    LogFilter filter_;
    QTableView* txtMsgLog_;
    QPushButton* cmdClear_;
    QCheckBox* chkPause_;
    QPushButton* cmdCopy_;
    QPushButton* cmdSave_;
    QCheckBox* chkDetail_;
    QLineEdit* txtFilter_;
    QSpinBox* txtLimit_;
    QCheckBox* chkColTime_;
    QCheckBox* chkColDelay_;
    QCheckBox* chkColWords_;
    bool followPending_ = false;
};

// The log as the link writes to it: the window is made on the first exchange,
// hidden; closing it discards it and its lines.
class MessageLog final : public LogSink {
  public:
    explicit MessageLog(QWidget* owner) : owner_(owner) {}

    void exchanged(const ExchangeRecord& record) override;
    MessageLogWindow* window();
    MessageLogWindow* existingWindow() const { return window_; }
    void showWindow();
    void closeWindow();

    // Runs after every exchange, when set.
    std::function<void()> afterExchange;

  private:
    QWidget* owner_;
    QPointer<MessageLogWindow> window_;
};

}  // namespace korvel::ui
