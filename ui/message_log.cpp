#include "ui/message_log.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDateTime>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHeaderView>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QResizeEvent>
#include <QSaveFile>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTableView>
#include <QTimer>
#include <QToolTip>
#include <algorithm>

#include "ui/placement.h"
#include "ui/twips.h"

namespace korvel::ui {

namespace {

constexpr int kClientWidth = 7320;
constexpr int kClientHeight = 9045;
// The least of the log a smaller window keeps: a few lines.
constexpr int kTableMinHeight = 1500;
constexpr int kLimitMinimum = 1000;
constexpr int kLimitMaximum = 10'000'000;

constexpr Placement kMessageLogPlacements[] = {
    {"txtMsgLog", nullptr, 120, 120, 7095, 6855},
    {"cmdClear", KORVEL_TEXT("Korvel", "Clear Log"), 120, 7080, 1215, 375},
    {"chkPause", KORVEL_TEXT("Korvel", "Pause"), 1455, 7080, 1000, 375},
    {"cmdCopy", KORVEL_TEXT("Korvel", "Copy"), 2575, 7080, 1000, 375},
    {"cmdSave", KORVEL_TEXT("Korvel", "Save\u2026"), 3695, 7080, 1000, 375},
    {"lblWaiting", nullptr, 4815, 7080, 2400, 375},
    {"lblFilter", KORVEL_TEXT("Korvel", "Filter"), 120, 7560, 600, 375},
    {"txtFilter", nullptr, 720, 7560, 2760, 375},
    {"lblLimit", KORVEL_TEXT("Korvel", "Keep lines"), 3600, 7560, 1200, 375},
    {"txtLimit", nullptr, 4800, 7560, 1300, 375},
    {"lblColumns", KORVEL_TEXT("Korvel", "Columns"), 120, 8040, 1000, 375},
    {"chkColTime", KORVEL_TEXT("Korvel", "Time"), 1200, 8040, 1000, 375},
    {"chkColDelay", KORVEL_TEXT("Korvel", "Delay"), 2320, 8040, 1000, 375},
    {"chkColWords", KORVEL_TEXT("Korvel", "Words"), 3440, 8040, 1100, 375},
    {"lblSince", KORVEL_TEXT("Korvel", "Since Clear"), 120, 8520, 1000, 375},
    {"lblCounts", nullptr, 1200, 8520, 6015, 375},
};
constexpr int kTableWidth = kMessageLogPlacements[0].width;
constexpr int kTableHeight = kMessageLogPlacements[0].height;

template <class W>
W* placedNamed(std::string_view name, QWidget* parent) {
    W* w = makePlaced<W>(kMessageLogPlacements, name, parent);
    const char* caption = placementOf(kMessageLogPlacements, name).caption;
    if (caption) w->setAccessibleName(caption);
    return w;
}

QFont logFont() {
    QFont font("Lucida Console", 9);
    if (!QFontInfo(font).fixedPitch()) font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(9);
    return font;
}

QString wallTimeIso(qint64 ms) {
    return QDateTime::fromMSecsSinceEpoch(ms).toString(Qt::ISODateWithMs);
}

// Numbers as the user reads them, with the thousands marked.
QLocale numberLocale() {
    QLocale locale;
    locale.setNumberOptions({});
    return locale;
}

// Writes `bytes` through a temporary file that replaces `path` only when complete.
QString writeWhole(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QString("Cannot write %1: %2").arg(path, file.errorString());
    if (file.write(bytes) != bytes.size()) {
        const QString error = file.errorString();
        file.cancelWriting();
        return QString("Cannot write %1: %2").arg(path, error);
    }
    if (!file.commit()) return QString("Cannot write %1: %2").arg(path, file.errorString());
    return {};
}

QByteArray noteJson(const LogModel::Entry& e) {
    const QJsonObject line{{"time", wallTimeIso(e.wallMs)}, {"kind", "note"}, {"text", e.note}};
    return QJsonDocument(line).toJson(QJsonDocument::Compact);
}

}  // namespace

QPoint besideOwner(const QRect& owner, const QSize& size, const QRect& screen) {
    const int top = std::clamp(owner.top(), screen.top(), screen.bottom() + 1 - size.height());
    const int roomRight = screen.right() - owner.right();
    const int roomLeft = owner.left() - screen.left();
    if (roomRight >= size.width()) return {owner.right() + 1, top};
    if (roomLeft >= size.width()) return {owner.left() - size.width(), top};
    if (roomRight >= roomLeft) return {screen.right() + 1 - size.width(), top};
    return {screen.left(), top};
}

MessageLogWindow::MessageLogWindow(QWidget* parent) : QDialog(parent), filter_(this) {
    setObjectName("dlgMsgLog");
    setWindowTitle("Message Log");
    setAttribute(Qt::WA_DeleteOnClose);
    // Larger, the log gets the room; smaller, down to a few lines of it, so
    // that it fits a small or scaled screen.
    setMinimumSize(twips(kClientWidth), twips(kClientHeight - kTableHeight + kTableMinHeight));
    resize(twips(kClientWidth), twips(kClientHeight));

    filter_.setSourceModel(&model_);
    txtMsgLog_ = makePlaced<QTableView>(kMessageLogPlacements, "txtMsgLog", this);
    txtMsgLog_->setAccessibleName("Message Log");
    txtMsgLog_->setModel(&filter_);
    // What went over the wire is a record: it can be selected and copied, not edited.
    txtMsgLog_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    txtMsgLog_->setSelectionBehavior(QAbstractItemView::SelectRows);
    txtMsgLog_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    txtMsgLog_->setShowGrid(false);
    txtMsgLog_->setWordWrap(false);
    txtMsgLog_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtMsgLog_->setFont(logFont());
    // Rows of one height: the view never measures a line, at any length.
    QHeaderView* rows = txtMsgLog_->verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(QFontMetrics(txtMsgLog_->font()).height() + 2);
    txtMsgLog_->horizontalHeader()->setStretchLastSection(true);
    sizeColumns();
    // Wide enough to show a line with its time and delay, where the screen allows.
    const int lineTimeDelay = txtMsgLog_->columnWidth(LogModel::TextColumn) +
                              txtMsgLog_->columnWidth(LogModel::TimeColumn) +
                              txtMsgLog_->columnWidth(LogModel::DelayColumn) +
                              txtMsgLog_->verticalScrollBar()->sizeHint().width() +
                              2 * txtMsgLog_->frameWidth();
    resize(std::max(width(), lineTimeDelay + twips(kClientWidth - kTableWidth)), height());

    cmdClear_ = placedNamed<QPushButton>("cmdClear", this);
    connect(cmdClear_, &QPushButton::clicked, this, [this] {
        model_.clear();
        showState();
    });
    chkPause_ = placedNamed<QCheckBox>("chkPause", this);
    connect(chkPause_, &QCheckBox::toggled, this, [this](bool on) {
        model_.setHeld(on);
        showState();
        if (!on) txtMsgLog_->scrollToBottom();
    });
    cmdCopy_ = placedNamed<QPushButton>("cmdCopy", this);
    connect(cmdCopy_, &QPushButton::clicked, this,
            [this] { QApplication::clipboard()->setText(copyText()); });
    cmdSave_ = placedNamed<QPushButton>("cmdSave", this);
    connect(cmdSave_, &QPushButton::clicked, this, [this] { cmdSave_Click(); });
    lblWaiting_ = placedNamed<QLabel>("lblWaiting", this);

    auto* lblFilter = placedNamed<QLabel>("lblFilter", this);
    txtFilter_ = placedNamed<QLineEdit>("txtFilter", this);
    txtFilter_->setAccessibleName("Filter");
    txtFilter_->setPlaceholderText("module or text");
    lblFilter->setBuddy(txtFilter_);
    connect(txtFilter_, &QLineEdit::textChanged, this,
            [this](const QString& text) { filter_.setFilter(text); });

    auto* lblLimit = placedNamed<QLabel>("lblLimit", this);
    txtLimit_ = placedNamed<QLineEdit>("txtLimit", this);
    txtLimit_->setAccessibleName("Keep lines");
    txtLimit_->setText(numberLocale().toString(model_.limit()));
    lblLimit->setBuddy(txtLimit_);
    // Checked as typed, taken on Enter or on leaving the box; a refused number
    // stays in the box, marked, and the log keeps its limit.
    connect(txtLimit_, &QLineEdit::textEdited, this, [this] {
        int lines = 0;
        markLimit(limitRefusal(lines));
    });
    connect(txtLimit_, &QLineEdit::editingFinished, this, [this] { applyLimit(); });

    placedNamed<QLabel>("lblColumns", this);
    chkColTime_ = placedNamed<QCheckBox>("chkColTime", this);
    chkColDelay_ = placedNamed<QCheckBox>("chkColDelay", this);
    chkColWords_ = placedNamed<QCheckBox>("chkColWords", this);
    for (QCheckBox* box : {chkColTime_, chkColDelay_, chkColWords_}) {
        box->setChecked(true);
        box->setToolTip(tr("Shown, copied and saved"));
        connect(box, &QCheckBox::toggled, this, [this] { showColumns(); });
    }
    auto* lblSince = placedNamed<QLabel>("lblSince", this);
    lblCounts_ = placedNamed<QLabel>("lblCounts", this);
    lblSince->setBuddy(lblCounts_);
    lblCounts_->setToolTip(
        tr("Exchanges shown in the log, those that got no answer, answers with a wrong check "
           "byte, and frames set aside as not the answer, since the log was last cleared"));
    showState();
}

// Each column starts as wide as the longest text it holds, as the view draws it.
void MessageLogWindow::sizeColumns() {
    const QFontMetrics metrics(txtMsgLog_->font());
    const int margins =
        2 *
        (txtMsgLog_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, txtMsgLog_) + 1);
    QString longestLine = ">>";
    for (int i = 0; i < 9; ++i) longestLine += " 00";
    longestLine += "  <<" + longestLine.mid(2);
    const QString samples[LogModel::ColumnCount] = {longestLine, LogModel::timeText(0), "2000 ms",
                                                    "status KX 12.1 \u00B7 KX44 Active 1.01 G"};
    QHeaderView* columns = txtMsgLog_->horizontalHeader();
    for (int c = 0; c < LogModel::ColumnCount; ++c)
        txtMsgLog_->setColumnWidth(c, std::max(metrics.horizontalAdvance(samples[c]) + margins,
                                               columns->sectionSizeHint(c)));
}

void MessageLogWindow::showState() {
    lblWaiting_->setVisible(model_.held());
    lblWaiting_->setText(
        tr("Lines waiting: %1")
            .arg(numberLocale().toString(static_cast<qulonglong>(model_.waiting()))));
    const LogModel::Counts& n = model_.counts();
    const QLocale locale = numberLocale();
    lblCounts_->setText(tr("exchanges %1 \u00B7 no answer %2 \u00B7 check-byte errors %3 "
                           "\u00B7 set aside %4")
                            .arg(locale.toString(n.exchanges), locale.toString(n.unanswered),
                                 locale.toString(n.checkErrors), locale.toString(n.setAside)));
}

QString MessageLogWindow::limitRefusal(int& lines) const {
    const QLocale locale = numberLocale();
    bool ok = false;
    const qlonglong asked = locale.toLongLong(txtLimit_->text().trimmed(), &ok);
    if (!ok) return tr("Keep lines takes a whole number of lines");
    if (asked < kLimitMinimum)
        return tr("Keep lines: at least %1").arg(locale.toString(kLimitMinimum));
    if (asked > kLimitMaximum)
        return tr("Keep lines: at most %1").arg(locale.toString(kLimitMaximum));
    lines = static_cast<int>(asked);
    return {};
}

void MessageLogWindow::markLimit(const QString& refusal) {
    QPalette palette = QApplication::palette(txtLimit_);
    if (!refusal.isEmpty()) palette.setColor(QPalette::Base, QColor(255, 200, 200));
    txtLimit_->setPalette(palette);
    txtLimit_->setToolTip(refusal);
}

void MessageLogWindow::applyLimit() {
    int lines = 0;
    const QString refusal = limitRefusal(lines);
    markLimit(refusal);
    if (!refusal.isEmpty()) {
        QToolTip::showText(txtLimit_->mapToGlobal(QPoint(0, txtLimit_->height())), refusal,
                           txtLimit_);
        return;
    }
    model_.setLimit(lines);
    txtLimit_->setText(numberLocale().toString(lines));
}

void MessageLogWindow::showColumns() {
    txtMsgLog_->setColumnHidden(LogModel::TimeColumn, !chkColTime_->isChecked());
    txtMsgLog_->setColumnHidden(LogModel::DelayColumn, !chkColDelay_->isChecked());
    txtMsgLog_->setColumnHidden(LogModel::WordsColumn, !chkColWords_->isChecked());
}

void MessageLogWindow::addRecord(const ExchangeRecord& record, qint64 wallMs) {
    QScrollBar* bar = txtMsgLog_->verticalScrollBar();
    const bool following = bar->value() == bar->maximum();
    model_.append(record, wallMs);
    followEnd(following);
}

void MessageLogWindow::addRecord(const ExchangeRecord& record) {
    addRecord(record, QDateTime::currentMSecsSinceEpoch());
}

void MessageLogWindow::addNote(const QString& note) {
    QScrollBar* bar = txtMsgLog_->verticalScrollBar();
    const bool following = bar->value() == bar->maximum();
    model_.appendNote(note, QDateTime::currentMSecsSinceEpoch());
    followEnd(following);
}

// Follows new lines only while the user is looking at the end. Once per turn
// of the event loop: placing the end row measures every row before it.
void MessageLogWindow::followEnd(bool following) {
    showState();
    if (!following || !isVisible() || model_.held() || followPending_) return;
    followPending_ = true;
    QTimer::singleShot(0, this, [this] {
        followPending_ = false;
        txtMsgLog_->scrollToBottom();
    });
}

QString MessageLogWindow::text() const {
    QString text;
    for (std::size_t i = 0; i < model_.lineCount(); ++i)
        if (model_.entry(i).note.isEmpty())
            text += QString::fromStdString(lineText(model_.entry(i).line)) + '\n';
    return text;
}

// What is written is what is shown: the text and the columns ticked.
LineParts MessageLogWindow::chosenParts() const {
    return {chkColTime_->isChecked(), chkColDelay_->isChecked(), chkColWords_->isChecked()};
}

QString MessageLogWindow::copyText() const {
    const LineParts parts = chosenParts();
    QModelIndexList rows = txtMsgLog_->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end());
    QString text;
    if (rows.isEmpty()) {
        for (std::size_t i = 0; i < model_.lineCount(); ++i)
            text += QString::fromStdString(LogModel::lineOut(model_.entry(i), parts)) + '\n';
        return text;
    }
    for (const QModelIndex& row : rows) {
        const LogModel::Entry* e = model_.entryOfRow(filter_.mapToSource(row).row());
        text += (e ? QString::fromStdString(LogModel::lineOut(*e, parts))
                   : LogModel::droppedText(model_.dropped())) +
                '\n';
    }
    return text;
}

QString MessageLogWindow::jsonPathOf(const QString& textPath) {
    const QFileInfo info(textPath);
    return info.dir().filePath(info.completeBaseName() + ".jsonl");
}

QString MessageLogWindow::saveTo(const QString& textPath) const {
    const LineParts parts = chosenParts();
    QByteArray text;
    QByteArray json;
    if (model_.dropped() > 0) text += LogModel::droppedText(model_.dropped()).toUtf8() + "\r\n";
    for (std::size_t i = 0; i < model_.lineCount(); ++i) {
        const LogModel::Entry& e = model_.entry(i);
        text += QByteArray::fromStdString(LogModel::lineOut(e, parts)) + "\r\n";
        if (!e.note.isEmpty()) {
            json += noteJson(e) + '\n';
            continue;
        }
        const QByteArray time = wallTimeIso(e.wallMs).toLatin1();
        json += QByteArray::fromStdString(lineJson(
                    e.line,
                    std::string_view(time.constData(), static_cast<std::size_t>(time.size())))) +
                '\n';
    }
    const QString jsonPath = jsonPathOf(textPath);
    if (jsonPath == textPath)
        return tr("Cannot write %1 twice: choose a name ending in .txt").arg(textPath);
    QString error = writeWhole(textPath, text);
    if (error.isEmpty()) error = writeWhole(jsonPath, json);
    return error;
}

void MessageLogWindow::cmdSave_Click() {
    const QString path = QFileDialog::getSaveFileName(
        this, tr("Save Message Log"), "message-log.txt", tr("Text (*.txt);;All files (*)"));
    if (path.isEmpty()) return;
    const QString error = saveTo(path);
    if (error.isEmpty())
        QMessageBox::information(this, windowTitle(),
                                 tr("Saved %1 and %2").arg(path, jsonPathOf(path)));
    else
        QMessageBox::warning(this, windowTitle(), error);
}

// Lines that came while nobody looked are read from the end, as they arrived.
void MessageLogWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!model_.held()) txtMsgLog_->scrollToBottom();
}

// Escape hides the window; only its close box discards the log.
void MessageLogWindow::reject() {
    hide();
}

void MessageLogWindow::openBeside(const QWidget* owner) {
    if (placed_ || !owner) return;
    placed_ = true;
    const QScreen* screen = owner->screen();
    if (!screen) return;
    const QRect room = screen->availableGeometry();
    // The frame the window manager adds is not known before showing; the owner's is the guess.
    const QSize frame = owner->frameGeometry().size() - owner->size();
    resize(
        std::clamp(width(), minimumWidth(), std::max(minimumWidth(), room.width() - frame.width())),
        std::clamp(height(), minimumHeight(),
                   std::max(minimumHeight(), room.height() - frame.height())));
    move(besideOwner(owner->frameGeometry(), size() + frame, room));
}

// A larger or smaller window gives the log the room; the controls below keep
// their places relative to the bottom edge.
void MessageLogWindow::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    const int dx = width() - twips(kClientWidth);
    const int dy = height() - twips(kClientHeight);
    for (const Placement& row : kMessageLogPlacements) {
        auto* w = findChild<QWidget*>(row.name, Qt::FindDirectChildrenOnly);
        if (!w) continue;
        QRect r(twips(row.left), twips(row.top), twips(row.width), twips(row.height));
        if (w == txtMsgLog_)
            r.adjust(0, 0, dx, dy);
        else
            r.translate(0, dy);
        w->setGeometry(r);
    }
}

void MessageLog::exchanged(const ExchangeRecord& record) {
    // A poll that found nothing writes nothing, and makes no window.
    if (window_ || !kept_.empty() || !logLines(record).empty()) {
        kept_.push_back({record, QDateTime::currentMSecsSinceEpoch()});
        if (kept_.size() == 1)
            QMetaObject::invokeMethod(
                &turns_, [this] { window(); }, Qt::QueuedConnection);
    }
    if (afterExchange) afterExchange();
}

MessageLogWindow* MessageLog::window() {
    if (!window_) {
        window_ = new MessageLogWindow(owner_);
        window_->setWindowFlag(Qt::Window);
    }
    std::vector<Kept> kept;
    kept.swap(kept_);
    for (const Kept& k : kept) window_->addRecord(k.record, k.wallMs);
    return window_;
}

MessageLogWindow* MessageLog::existingWindow() {
    return window_ || !kept_.empty() ? window() : nullptr;
}

void MessageLog::showWindow() {
    MessageLogWindow* w = window();
    w->openBeside(owner_);
    w->show();
    w->raise();
    w->activateWindow();
}

void MessageLog::closeWindow() {
    kept_.clear();
    if (window_) window_->close();
}

void MessageLog::portOpened(const QString& port) {
    window()->addNote(MessageLogWindow::tr("Port %1 opened").arg(port));
}

void MessageLog::portClosed() {
    window()->addNote(MessageLogWindow::tr("Port closed"));
}

// A line lost inside an exchange is told before the exchange's record comes:
// the note follows it, at the next turn of the event loop.
void MessageLog::lineLost(const std::string& detail) {
    const QString note = detail.empty() ? MessageLogWindow::tr("Connection lost, port closed")
                                        : MessageLogWindow::tr("Connection lost, port closed: %1")
                                              .arg(QString::fromStdString(detail));
    QTimer::singleShot(0, window(), [this, note] { window()->addNote(note); });
}

}  // namespace korvel::ui
