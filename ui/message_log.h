#pragma once

#include <QDialog>
#include <QPointer>
#include <functional>
#include <vector>

#include "link/log_sink.h"
#include "ui/message_log_model.h"
#include "ui_model/prompter.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace korvel::ui {

// Where a window whose frame has `size` goes beside the frame `owner` on
// `screen`: to its right when there is room, else to its left, else against
// the screen's edge on the roomier side, so it covers as little as it can.
QPoint besideOwner(const QRect& owner, const QSize& size, const QRect& screen);

// `dlgMsgLog`: every frame on the wire, one line per exchange, with its time,
// the answer's delay and the frames in words beside it.
class MessageLogWindow final : public QDialog {
    Q_OBJECT
  public:
    explicit MessageLogWindow(QWidget* parent);

    // One exchange, as lines of the log; the view follows the end while the
    // user looks at the end. `wallMs` is when it ended, by the wall clock.
    void addRecord(const ExchangeRecord& record, qint64 wallMs);
    void addRecord(const ExchangeRecord& record);
    // A line about the port between the exchanges: opened, closed, lost.
    void addNote(const QString& note);
    // The exchanges as the log's text, line ends as LF, including what arrived
    // while the window was hidden or held; the notes about the port are not frames.
    QString text() const;
    // The selected lines, or all when none is, as "Copy" puts them on the
    // clipboard: with the columns shown.
    QString copyText() const;
    // Writes the log to `textPath` and, as JSON Lines, beside it with the
    // suffix ".jsonl". Returns what went wrong, or an empty text.
    QString saveTo(const QString& textPath) const;
    static QString jsonPathOf(const QString& textPath);

    LogModel& model() { return model_; }
    // The first showing: at its drawn size where the screen allows, beside `owner`.
    void openBeside(const QWidget* owner);
    void reject() override;

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    LineParts chosenParts() const;
    void cmdSave_Click();
    void showColumns();
    void sizeColumns();
    void followEnd(bool following);
    void showState();
    // The "Keep lines" box as a number of lines, or why it is refused.
    QString limitRefusal(int& lines) const;
    void markLimit(const QString& refusal);
    void applyLimit();

    LogModel model_;
    LogFilter filter_;
    QTableView* txtMsgLog_;
    QPushButton* cmdClear_;
    QCheckBox* chkPause_;
    QPushButton* cmdCopy_;
    QPushButton* cmdSave_;
    QLabel* lblWaiting_;
    QLineEdit* txtFilter_;
    QLineEdit* txtLimit_;
    QCheckBox* chkColTime_;
    QCheckBox* chkColDelay_;
    QCheckBox* chkColWords_;
    QLabel* lblCounts_;
    bool followPending_ = false;
    bool placed_ = false;
};

// The log as the link writes to it: the window is made on the first exchange,
// hidden; closing it discards it and its lines. An exchange only leaves its
// record here: the window decodes and shows it at the next turn of the event
// loop, so the next request never waits for the log.
class MessageLog final : public LogSink {
  public:
    explicit MessageLog(QWidget* owner) : owner_(owner) {}

    void exchanged(const ExchangeRecord& record) override;
    // The window, with every exchange so far in it.
    MessageLogWindow* window();
    // The same, when there is a log to show; null before the first line.
    MessageLogWindow* existingWindow();
    void showWindow();
    void closeWindow();

    // The port's own events, as lines between the exchanges.
    void portOpened(const QString& port);
    void portClosed();
    void lineLost(const std::string& detail);

    // Runs after every exchange, when set.
    std::function<void()> afterExchange;

  private:
    struct Kept {
        ExchangeRecord record;
        qint64 wallMs;  // when it ended, by the wall clock
    };

    QWidget* owner_;
    QPointer<MessageLogWindow> window_;
    // Exchanges since the event loop last turned, oldest first.
    std::vector<Kept> kept_;
    // Where the turn of the event loop that takes them is posted; goes with the log.
    QObject turns_;
};

}  // namespace korvel::ui
