#include "ui/message_log.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDateTime>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QResizeEvent>
#include <QSaveFile>
#include <QScrollBar>
#include <QSpinBox>
#include <QTableView>
#include <QTimer>

#include "ui/placement.h"
#include "ui/twips.h"

namespace korvel::ui {

namespace {

constexpr int kClientWidth = 7320;
constexpr int kClientHeight = 8565;

constexpr Placement kMessageLogPlacements[] = {
    {"txtMsgLog", nullptr, 120, 120, 7095, 6855},
    {"cmdClear", "Clear Log", 120, 7080, 1215, 375},
    {"chkPause", "Pause", 1455, 7080, 1000, 375},
    {"cmdCopy", "Copy", 2575, 7080, 1000, 375},
    {"cmdSave", "Save\u2026", 3695, 7080, 1000, 375},
    {"chkDetail", "With time and words", 4815, 7080, 2400, 375},
    {"lblFilter", "Filter", 120, 7560, 600, 375},
    {"txtFilter", nullptr, 720, 7560, 2760, 375},
    {"lblLimit", "Keep lines", 3600, 7560, 1200, 375},
    {"txtLimit", nullptr, 4800, 7560, 1300, 375},
    {"lblColumns", "Columns", 120, 8040, 1000, 375},
    {"chkColTime", "Time", 1200, 8040, 1000, 375},
    {"chkColDelay", "Delay", 2320, 8040, 1000, 375},
    {"chkColWords", "Words", 3440, 8040, 1100, 375},
};

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

}  // namespace

MessageLogWindow::MessageLogWindow(QWidget* parent) : QDialog(parent), filter_(this) {
    setObjectName("dlgMsgLog");
    setWindowTitle("Message Log");
    setAttribute(Qt::WA_DeleteOnClose);
    // It opens at its drawn size and may be made larger, to read the words in full.
    setMinimumSize(twips(kClientWidth), twips(kClientHeight));
    resize(minimumSize());

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
    QHeaderView* columns = txtMsgLog_->horizontalHeader();
    columns->setStretchLastSection(true);
    const QFontMetrics metrics(txtMsgLog_->font());
    txtMsgLog_->setColumnWidth(LogModel::TextColumn, metrics.horizontalAdvance(QString(62, 'W')));
    txtMsgLog_->setColumnWidth(LogModel::TimeColumn, metrics.horizontalAdvance("00:00:00.000W"));
    txtMsgLog_->setColumnWidth(LogModel::DelayColumn, metrics.horizontalAdvance("2000 msW"));

    cmdClear_ = placedNamed<QPushButton>("cmdClear", this);
    connect(cmdClear_, &QPushButton::clicked, this, [this] { model_.clear(); });
    chkPause_ = placedNamed<QCheckBox>("chkPause", this);
    connect(chkPause_, &QCheckBox::toggled, this, [this](bool on) {
        model_.setHeld(on);
        if (!on) txtMsgLog_->scrollToBottom();
    });
    cmdCopy_ = placedNamed<QPushButton>("cmdCopy", this);
    connect(cmdCopy_, &QPushButton::clicked, this,
            [this] { QApplication::clipboard()->setText(copyText()); });
    cmdSave_ = placedNamed<QPushButton>("cmdSave", this);
    connect(cmdSave_, &QPushButton::clicked, this, [this] { cmdSave_Click(); });
    chkDetail_ = placedNamed<QCheckBox>("chkDetail", this);

    auto* lblFilter = placedNamed<QLabel>("lblFilter", this);
    txtFilter_ = placedNamed<QLineEdit>("txtFilter", this);
    txtFilter_->setAccessibleName("Filter");
    txtFilter_->setPlaceholderText("module or text");
    lblFilter->setBuddy(txtFilter_);
    connect(txtFilter_, &QLineEdit::textChanged, this,
            [this](const QString& text) { filter_.setFilter(text); });

    auto* lblLimit = placedNamed<QLabel>("lblLimit", this);
    txtLimit_ = placedNamed<QSpinBox>("txtLimit", this);
    txtLimit_->setAccessibleName("Keep lines");
    // The box inside the spin box takes the focus; it answers to the same name.
    if (auto* inner = txtLimit_->findChild<QLineEdit*>()) inner->setAccessibleName("Keep lines");
    txtLimit_->setRange(1000, 10'000'000);
    txtLimit_->setSingleStep(10'000);
    txtLimit_->setGroupSeparatorShown(true);
    txtLimit_->setValue(model_.limit());
    lblLimit->setBuddy(txtLimit_);
    connect(txtLimit_, &QSpinBox::editingFinished, this,
            [this] { model_.setLimit(txtLimit_->value()); });

    placedNamed<QLabel>("lblColumns", this);
    chkColTime_ = placedNamed<QCheckBox>("chkColTime", this);
    chkColDelay_ = placedNamed<QCheckBox>("chkColDelay", this);
    chkColWords_ = placedNamed<QCheckBox>("chkColWords", this);
    for (QCheckBox* box : {chkColTime_, chkColDelay_, chkColWords_}) {
        box->setChecked(true);
        connect(box, &QCheckBox::toggled, this, [this] { showColumns(); });
    }
}

void MessageLogWindow::showColumns() {
    txtMsgLog_->setColumnHidden(LogModel::TimeColumn, !chkColTime_->isChecked());
    txtMsgLog_->setColumnHidden(LogModel::DelayColumn, !chkColDelay_->isChecked());
    txtMsgLog_->setColumnHidden(LogModel::WordsColumn, !chkColWords_->isChecked());
}

void MessageLogWindow::addRecord(const ExchangeRecord& record) {
    QScrollBar* bar = txtMsgLog_->verticalScrollBar();
    const bool following = bar->value() == bar->maximum();
    model_.append(record, QDateTime::currentMSecsSinceEpoch());
    // Follow new lines only while the user is looking at the end. Once per turn
    // of the event loop: placing the end row measures every row before it.
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
        text += QString::fromStdString(lineText(model_.entry(i).line)) + '\n';
    return text;
}

LineParts MessageLogWindow::chosenParts() const {
    const bool detail = chkDetail_->isChecked();
    return {detail, detail, detail};
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
        const QByteArray time = wallTimeIso(e.wallMs).toLatin1();
        json += QByteArray::fromStdString(lineJson(
                    e.line,
                    std::string_view(time.constData(), static_cast<std::size_t>(time.size())))) +
                '\n';
    }
    const QString jsonPath = jsonPathOf(textPath);
    if (jsonPath == textPath)
        return QString("Cannot write %1 twice: choose a name ending in .txt").arg(textPath);
    QString error = writeWhole(textPath, text);
    if (error.isEmpty()) error = writeWhole(jsonPath, json);
    return error;
}

void MessageLogWindow::cmdSave_Click() {
    const QString path = QFileDialog::getSaveFileName(this, "Save Message Log", "message-log.txt",
                                                      "Text (*.txt);;All files (*)");
    if (path.isEmpty()) return;
    const QString error = saveTo(path);
    if (error.isEmpty())
        QMessageBox::information(this, windowTitle(),
                                 QString("Saved %1 and %2").arg(path, jsonPathOf(path)));
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

// A larger window gives the log the room; the controls below keep their places
// relative to the bottom edge.
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
    if (window_ || !logLines(record).empty()) window()->addRecord(record);
    if (afterExchange) afterExchange();
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
