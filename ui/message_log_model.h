#pragma once

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <deque>
#include <string>

#include "wire_words/log_lines.h"

namespace korvel::ui {

// The message log as a list of lines, each with its time, the answer's delay
// and its words. Appending costs the same at any length; past the limit the
// oldest lines go first, and a first row says how many went.
class LogModel final : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column { TextColumn, TimeColumn, DelayColumn, WordsColumn, ColumnCount };
    static constexpr int kDefaultLimit = 100'000;

    struct Entry {
        LogLine line;
        qint64 wallMs = 0;  // time of day of the request, ms since the epoch
        std::string words;
        QString note;  // a line about the port, not an exchange: the line and words are empty
    };

    // What the line went through since the log was last cleared. A poll that
    // found nothing is no exchange here, as it is no line; a frame with a wrong
    // check byte is counted as such, not also as no answer.
    struct Counts {
        long long exchanges = 0;
        long long unanswered = 0;
        long long checkErrors = 0;
        long long setAside = 0;
    };

    explicit LogModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    // Decodes the exchange into its lines; `nowMs` is the wall clock when it ended.
    void append(const ExchangeRecord& record, qint64 nowMs);
    void appendNote(const QString& note, qint64 nowMs);
    void clear();
    // While held, new lines are kept but the view does not see them.
    void setHeld(bool held);
    bool held() const { return held_; }
    // Lines kept while held that the view has not seen yet.
    std::size_t waiting() const { return entries_.size() - shown_; }
    const Counts& counts() const { return counts_; }
    void setLimit(int lines);
    int limit() const { return limit_; }
    long long dropped() const { return dropped_; }

    std::size_t lineCount() const { return entries_.size(); }
    const Entry& entry(std::size_t index) const { return entries_[index]; }
    // The entry a row shows; null for the row about dropped lines.
    const Entry* entryOfRow(int row) const;
    // A line as "Copy" and "Save…" write it, with the asked parts.
    static std::string lineOut(const Entry& e, LineParts parts);
    static QString timeText(qint64 wallMs);
    static QString droppedText(long long count);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    int noticeRows() const { return dropped_ > 0 ? 1 : 0; }
    void dropOldest(std::size_t count);
    void push(std::vector<Entry> added);

    std::deque<Entry> entries_;
    std::size_t shown_ = 0;  // entries the view knows of; fewer while held
    long long dropped_ = 0;
    Counts counts_;
    int limit_ = kDefaultLimit;
    bool held_ = false;
};

// Keeps the rows whose text or words hold the filter. A module is matched as a
// whole number: "KX 1" finds "KX 1" and "KX 1.1", not "KX 12".
class LogFilter final : public QSortFilterProxyModel {
    Q_OBJECT
  public:
    using QSortFilterProxyModel::QSortFilterProxyModel;
    void setFilter(const QString& text);
    static bool matches(const QString& haystack, const QString& needle);

  protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

  private:
    QString filter_;
};

}  // namespace korvel::ui
