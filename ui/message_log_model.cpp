#include "ui/message_log_model.h"

#include <QDateTime>
#include <algorithm>

namespace korvel::ui {

void LogModel::append(const ExchangeRecord& record, qint64 nowMs) {
    const std::vector<LogLine> lines = logLines(record);
    if (!lines.empty() || record.unanswered) {
        ++counts_.exchanges;
        if (!record.checkError.empty())
            ++counts_.checkErrors;
        else if (record.unanswered)
            ++counts_.unanswered;
        counts_.setAside += static_cast<long long>(record.setAside.size());
    }
    if (lines.empty()) return;
    const auto waited =
        std::chrono::duration_cast<std::chrono::milliseconds>(record.answered - record.sent);
    const qint64 sentMs = nowMs - std::max<qint64>(0, waited.count());
    std::vector<Entry> added;
    for (const LogLine& line : lines) added.push_back({line, sentMs, lineWords(line), {}});
    push(std::move(added));
}

void LogModel::appendNote(const QString& note, qint64 nowMs) {
    std::vector<Entry> added(1);
    added[0].wallMs = nowMs;
    added[0].note = note;
    push(std::move(added));
}

void LogModel::push(std::vector<Entry> added) {
    const auto limit = static_cast<std::size_t>(limit_);
    if (entries_.size() + added.size() > limit) {
        // In steps of a hundredth, so a full log does not move its rows on every line.
        const std::size_t needed = entries_.size() + added.size() - limit;
        dropOldest(
            std::min(entries_.size(), std::max(needed, std::max<std::size_t>(limit / 100, 1))));
    }
    for (Entry& e : added) entries_.push_back(std::move(e));
    if (held_) return;
    const int first = noticeRows() + static_cast<int>(shown_);
    beginInsertRows({}, first, first + static_cast<int>(entries_.size() - shown_) - 1);
    shown_ = entries_.size();
    endInsertRows();
}

void LogModel::dropOldest(std::size_t count) {
    if (count == 0) return;
    const std::size_t visible = std::min(count, shown_);
    const bool noticeBefore = noticeRows() > 0;
    if (visible > 0) {
        beginRemoveRows({}, noticeRows(), noticeRows() + static_cast<int>(visible) - 1);
        entries_.erase(entries_.begin(), entries_.begin() + static_cast<std::ptrdiff_t>(count));
        shown_ -= visible;
        endRemoveRows();
    } else {
        entries_.erase(entries_.begin(), entries_.begin() + static_cast<std::ptrdiff_t>(count));
    }
    if (!noticeBefore) {
        beginInsertRows({}, 0, 0);
        dropped_ += static_cast<long long>(count);
        endInsertRows();
    } else {
        dropped_ += static_cast<long long>(count);
        emit dataChanged(index(0, 0), index(0, ColumnCount - 1));
    }
}

void LogModel::clear() {
    beginResetModel();
    entries_.clear();
    shown_ = 0;
    dropped_ = 0;
    counts_ = {};
    endResetModel();
}

void LogModel::setHeld(bool held) {
    held_ = held;
    if (held_ || shown_ == entries_.size()) return;
    const int first = noticeRows() + static_cast<int>(shown_);
    beginInsertRows({}, first, first + static_cast<int>(entries_.size() - shown_) - 1);
    shown_ = entries_.size();
    endInsertRows();
}

void LogModel::setLimit(int lines) {
    limit_ = std::max(lines, 1);
    if (entries_.size() > static_cast<std::size_t>(limit_))
        dropOldest(entries_.size() - static_cast<std::size_t>(limit_));
}

const LogModel::Entry* LogModel::entryOfRow(int row) const {
    const int i = row - noticeRows();
    return i >= 0 && static_cast<std::size_t>(i) < shown_ ? &entries_[static_cast<std::size_t>(i)]
                                                          : nullptr;
}

std::string LogModel::lineOut(const Entry& e, LineParts parts) {
    const QByteArray time = timeText(e.wallMs).toLatin1();
    if (!e.note.isEmpty())
        return (parts.time ? time.toStdString() + "  " : std::string()) + e.note.toStdString();
    return formatLine(
        e.line, std::string_view(time.constData(), static_cast<std::size_t>(time.size())), parts);
}

QString LogModel::timeText(qint64 wallMs) {
    return QDateTime::fromMSecsSinceEpoch(wallMs).toString("HH:mm:ss.zzz");
}

QString LogModel::droppedText(long long count) {
    return QString("(%1 older lines dropped)").arg(count);
}

int LogModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : noticeRows() + static_cast<int>(shown_);
}

int LogModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant LogModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid()) return {};
    const Entry* e = entryOfRow(index.row());
    if (!e) return index.column() == TextColumn ? droppedText(dropped_) : QString();
    if (!e->note.isEmpty()) {
        if (index.column() == TextColumn) return e->note;
        return index.column() == TimeColumn ? timeText(e->wallMs) : QString();
    }
    switch (index.column()) {
        case TextColumn:
            return QString::fromStdString(lineText(e->line));
        case TimeColumn:
            return timeText(e->wallMs);
        case DelayColumn:
            return e->line.delay.count() >= 0 ? QString("%1 ms").arg(e->line.delay.count())
                                              : QString();
        case WordsColumn:
            return QString::fromStdString(e->words);
        default:
            return {};
    }
}

QVariant LogModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const char* const kTitles[] = {"Line", "Time", "Delay", "Words"};
    return section >= 0 && section < ColumnCount ? QString(kTitles[section]) : QVariant();
}

void LogFilter::setFilter(const QString& text) {
    filter_ = text.trimmed();
    invalidateRowsFilter();
}

bool LogFilter::matches(const QString& haystack, const QString& needle) {
    for (qsizetype at = haystack.indexOf(needle, 0, Qt::CaseInsensitive); at >= 0;
         at = haystack.indexOf(needle, at + 1, Qt::CaseInsensitive)) {
        const qsizetype end = at + needle.size();
        const bool endsInDigit = !needle.isEmpty() && needle.back().isDigit();
        if (!endsInDigit || end >= haystack.size() || !haystack[end].isDigit()) return true;
    }
    return false;
}

bool LogFilter::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
    if (filter_.isEmpty()) return true;
    const auto* model = static_cast<const LogModel*>(sourceModel());
    const LogModel::Entry* e = model->entryOfRow(sourceRow);
    if (!e) return true;
    (void)sourceParent;
    if (!e->note.isEmpty()) return matches(e->note, filter_);
    return matches(QString::fromStdString(e->words), filter_) ||
           matches(QString::fromStdString(lineText(e->line)), filter_);
}

}  // namespace korvel::ui
