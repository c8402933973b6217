#include "ui/backup_page.h"

#include <QApplication>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QToolTip>
#include <QTreeWidget>
#include <map>
#include <utility>

#include "backup/backup_file.h"
#include "backup/safe_file.h"
#include "ops/kx_names.h"
#include "service/dispatch.h"
#include "service/number_text.h"
#include "ui/placement.h"
#include "ui/widget_kit.h"
#include "ui_model/outcome_boxes.h"
#include "wire_words/wire_words.h"

namespace korvel::ui {

namespace {

using ops::ItemKind;
using ops::RunItem;
using ops::RunResult;

constexpr Placement kBackupPagePlacements[] = {
    {"cmdBackup", KORVEL_TEXT("Korvel", "Backup\u2026"), 240, 240, 1335, 375},
    {"cmdVerify", KORVEL_TEXT("Korvel", "Verify\u2026"), 1680, 240, 1335, 375},
    {"cmdRestore", KORVEL_TEXT("Korvel", "Restore\u2026"), 3120, 240, 1335, 375},
    {"lblBackupFile", KORVEL_TEXT("Korvel", "No file"), 240, 780, 6765, 255},
    {"lstBackupModules", nullptr, 240, 1080, 6765, 1560},
    {"lblBackupStep", nullptr, 240, 2820, 6765, 255},
    {"prgBackup", nullptr, 240, 3120, 5280, 315},
    {"cmdBackupCancel", KORVEL_TEXT("Korvel", "Cancel"), 5670, 3090, 1335, 375},
    {"lstBackupResults", nullptr, 240, 3660, 6765, 2820},
};

// A whole-system run asks a lost read again, as korvelctl does by default: one
// lost frame should not spoil a backup of hundreds of settings.
constexpr int kWindowRetries = ops::kDefaultReadRetries;

template <class W>
W* make(std::string_view name, QWidget* tab) {
    return makePlaced<W>(kBackupPagePlacements, name, tab);
}

QTreeWidget* makeList(std::string_view name, const QString& accessibleName,
                      const QStringList& headers, QWidget* tab) {
    auto* list = make<QTreeWidget>(name, tab);
    list->setAccessibleName(accessibleName);
    list->setHeaderLabels(headers);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->header()->setStretchLastSection(true);
    return list;
}

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}

QString resultText(const RunItem& item, bool fileWritten) {
    switch (item.kind) {
        case ItemKind::Saved:
            return fileWritten ? BackupPage::tr("saved") : BackupPage::tr("read, not saved");
        case ItemKind::Equal:
            return BackupPage::tr("equal");
        case ItemKind::Written:
            return BackupPage::tr("written, read back equal");
        case ItemKind::Sent:
            return BackupPage::tr("written, not read back");
        case ItemKind::Different:
            return BackupPage::tr("different");
        case ItemKind::Skipped:
            return BackupPage::tr("skipped");
        case ItemKind::NotAnswered:
            return BackupPage::tr("not answered");
        case ItemKind::Planned:
            return item.readOnly ? BackupPage::tr("to read back") : BackupPage::tr("to write");
        case ItemKind::Refused:
            return BackupPage::tr("to write if confirmed");
    }
    return {};
}

// A setting as the message log names it: "Switch-delay on-delay bank 1",
// "device 5 power"; the operations name it as korvelctl does.
QString settingWords(const std::string& setting) {
    if (const ops::KxSettingName* row = ops::findKxSetting(setting))
        return qs(kxSettingWords(row->setting(), row->selectors));
    return qs(setting).replace('-', ' ');
}

QString reasonText(const RunItem& item) {
    if (item.kind == ItemKind::Refused)
        return BackupPage::tr("a value the page could not send; it sends %1").arg(qs(item.allowed));
    return qs(item.reason);
}

// "kx:0 (KX-H) HFI-level = 99": one value of a plan.
QString planned(const RunItem& item) {
    return qs(ops::moduleLabel(item.module, item.type)) + " " + settingWords(item.setting) + " = " +
           QString::number(item.fileValue.value_or(0));
}

const QColor kMarked(255, 214, 214);

// A cell that holds something wrong: a warning, a tint, and the reason as its tool tip.
void mark(QTreeWidgetItem* item, int column, const QString& problem, const QString& otherwise) {
    const bool wrong = !problem.isEmpty();
    item->setIcon(column, wrong ? QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning)
                                : QIcon());
    item->setBackground(column, wrong ? QBrush(kMarked) : QBrush());
    item->setToolTip(column, wrong ? problem : otherwise);
}

// What a "Restore to" cell puts a file module's settings on: "kx:7" as
// korvelctl names modules, or why it cannot, in the window's words. A bare
// number is a module of the row's family, and of its half for a KX44's half.
struct RestoreTo {
    std::string target;
    QString problem;
};
RestoreTo restoreTo(const ops::ModuleBackup& m, const QString& typed) {
    const QString text = typed.trimmed().toLower();
    const bool kx = m.name.family == ModuleFamily::KX;
    QString name = text;
    static const QRegularExpression bareNumber("^[0-9]+(\\.[0-9]+)?$");
    if (bareNumber.match(text).hasMatch()) {
        name = (kx ? "kx:" : "zr:") + text;
        if (m.type == ModuleType::Kx44 && !text.contains('.'))
            name += m.name.item >= 16 ? ".1" : ".0";
    }
    const std::optional<ops::ModuleName> to = ops::parseModuleName(name.toStdString());
    if (!to)
        return {{},
                BackupPage::tr("\"%1\" is no module: type a module number (KX 0 to 15, ZR32 0 "
                               "to 7), or family and number, like kx:7")
                    .arg(typed.trimmed())};
    if (to->family != m.name.family)
        return {
            {},
            BackupPage::tr("A module keeps its family: the settings of %1 go to a %2 module only")
                .arg(qs(ops::moduleNameOf(m.name, m.type)), kx ? "KX" : "ZR32")};
    return {name.toStdString(), {}};
}

// The "Restore to" cell's editor, checked as the user types: a text that names
// no module is tinted, with the reason as its tool tip, shown at once.
class RestoreToDelegate final : public QStyledItemDelegate {
  public:
    RestoreToDelegate(std::function<QString(int row, const QString& text)> problem, QObject* parent)
        : QStyledItemDelegate(parent), problem_(std::move(problem)) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        auto* line = qobject_cast<QLineEdit*>(editor);
        if (line == nullptr) return editor;
        QObject::connect(
            line, &QLineEdit::textEdited, line,
            [this, line, row = index.row()](const QString& text) {
                const QString why = problem_(row, text);
                QPalette palette = line->palette();
                palette.setColor(QPalette::Base, why.isEmpty()
                                                     ? QApplication::palette().color(QPalette::Base)
                                                     : kMarked);
                line->setPalette(palette);
                line->setToolTip(why);
                if (why.isEmpty())
                    QToolTip::hideText();
                else
                    QToolTip::showText(line->mapToGlobal(QPoint(0, line->height())), why, line);
            });
        return editor;
    }

  private:
    std::function<QString(int, const QString&)> problem_;
};

QString valueText(const std::optional<int>& value) {
    return value ? QString::number(*value) : QString();
}

// "12 written, 2 different, 1 not answered": how many items of each kind a run
// left. A backup's reads are saved only once its file is written; until then
// they are "read".
std::string counts(const std::vector<RunItem>& items, bool fileWritten = false) {
    static constexpr std::pair<ItemKind, const char*> kKinds[] = {
        {ItemKind::Saved, "read"},
        {ItemKind::Equal, "equal"},
        {ItemKind::Written, "written"},
        {ItemKind::Sent, "sent but not read back"},
        {ItemKind::Different, "different"},
        {ItemKind::Skipped, "skipped"},
        {ItemKind::NotAnswered, "not answered"},
    };
    std::string text;
    for (const auto& [kind, word] : kKinds) {
        const auto n = std::ranges::count(items, kind, &RunItem::kind);
        const std::string said = kind == ItemKind::Saved && fileWritten ? "saved" : word;
        if (n > 0) text += (text.empty() ? "" : ", ") + std::to_string(n) + " " + said;
    }
    return text.empty() ? "nothing done" : text;
}

}  // namespace

// Everything a run changes on the window, put back however the run ends. A
// failed exchange is not a box of its own here: the one box at the end says it.
class BackupPage::RunScope {
  public:
    explicit RunScope(BackupPage& page) : page_(page) {
        page.running_ = true;
        page.cancelRequested_ = false;
        page.hooks_.holdForRun(true);
        setControls(true);
        QApplication::setOverrideCursor(Qt::BusyCursor);
        page.bus_.link.setFailureListener([this](ExchangeOutcome, const std::string& detail) {
            if (!failed) failed = detail;
        });
        // A Cancel taken between exchanges also ends the waits of the next one.
        page.bus_.link.setStopRequest([&page] { return page.cancelRequested_; });
    }
    ~RunScope() {
        page_.bus_.link.setStopRequest({});
        presentFailuresWith(page_.bus_.link, page_.bus_.prompter);
        QApplication::restoreOverrideCursor();
        setControls(false);
        page_.hooks_.holdForRun(false);
        page_.running_ = false;
    }
    RunScope(const RunScope&) = delete;
    RunScope& operator=(const RunScope&) = delete;

    std::optional<std::string> failed;  // the first failed exchange's detail

  private:
    void setControls(bool running) {
        for (QWidget* w : std::initializer_list<QWidget*>{
                 page_.cmdBackup_, page_.cmdVerify_, page_.cmdRestore_, page_.lstBackupModules_})
            w->setEnabled(!running);
        page_.cmdBackupCancel_->setEnabled(running);
        if (running) {
            page_.lstBackupResults_->clear();
            page_.prgBackup_->setRange(0, 1);
            page_.prgBackup_->setValue(0);
            page_.lblBackupStep_->setText(tr("Status request"));
        }
    }

    BackupPage& page_;
};

BackupPage::BackupPage(BusContext& bus, RunHooks hooks, QWidget* tab)
    : QObject(tab), bus_(bus), hooks_(std::move(hooks)), lastFolder_(QDir::homePath()) {
    chooseFile = [tab](FileQuestion question, const QString& suggested) {
        const QString filter = tr("Backups (*.json);;All files (*)");
        return question == FileQuestion::Save
                   ? QFileDialog::getSaveFileName(tab, tr("Backup"), suggested, filter)
                   : QFileDialog::getOpenFileName(tab, tr("Open a backup"), suggested, filter);
    };
    buildButtons(tab);
    buildModules(tab);
    buildProgress(tab);
}

void BackupPage::buildButtons(QWidget* tab) {
    cmdBackup_ = make<QPushButton>("cmdBackup", tab);
    cmdBackup_->setToolTip(tr("Save every setting of every KX and ZR32 module in a file"));
    connect(cmdBackup_, &QPushButton::clicked, this, &BackupPage::cmdBackup_Click);
    cmdVerify_ = make<QPushButton>("cmdVerify", tab);
    cmdVerify_->setToolTip(tr("Compare the permanent settings of the ticked modules with a file"));
    connect(cmdVerify_, &QPushButton::clicked, this, &BackupPage::cmdVerify_Click);
    cmdRestore_ = make<QPushButton>("cmdRestore", tab);
    cmdRestore_->setToolTip(tr("Write the permanent settings of a file to the ticked modules"));
    connect(cmdRestore_, &QPushButton::clicked, this, &BackupPage::cmdRestore_Click);
}

void BackupPage::buildModules(QWidget* tab) {
    lblBackupFile_ = make<QLabel>("lblBackupFile", tab);
    // A module is restored when ticked; its "Restore to" cell gives it another number.
    lstBackupModules_ = makeList("lstBackupModules", tr("Modules of the file"),
                                 {tr("Module"), tr("Restore to")}, tab);
    lstBackupModules_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstBackupModules_->setColumnWidth(0, lstBackupModules_->width() / 2);
    connect(lstBackupModules_, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { lstBackupModules_->editItem(item, 1); });
    lstBackupModules_->setItemDelegateForColumn(
        1, new RestoreToDelegate(
               [this](int row, const QString& text) {
                   return restoreTo(backup_->modules[static_cast<std::size_t>(row)], text).problem;
               },
               this));
    // A tick or a number changed: every cell is checked again, as two modules may
    // now go to one.
    connect(lstBackupModules_, &QTreeWidget::itemChanged, this, [this] { checkRestoreTo(); });
}

void BackupPage::buildProgress(QWidget* tab) {
    lblBackupStep_ = make<QLabel>("lblBackupStep", tab);
    prgBackup_ = make<QProgressBar>("prgBackup", tab);
    prgBackup_->setAccessibleName(tr("Progress"));
    prgBackup_->setFormat(tr("%v of %m"));
    prgBackup_->setValue(0);
    cmdBackupCancel_ = make<QPushButton>("cmdBackupCancel", tab);
    cmdBackupCancel_->setEnabled(false);
    connect(cmdBackupCancel_, &QPushButton::clicked, this, &BackupPage::cancel);
    lstBackupResults_ = makeList(
        "lstBackupResults", tr("Results"),
        {tr("Result"), tr("Module"), tr("Setting"), tr("In file"), tr("In module"), tr("Reason")},
        tab);
    // Every column on screen at the window's size: the short ones as wide as their
    // contents, the setting and the reason share the rest; a row's tool tip
    // holds its whole setting and reason.
    QHeaderView* header = lstBackupResults_->header();
    header->setStretchLastSection(false);
    for (int c : {0, 1, 3, 4}) header->setSectionResizeMode(c, QHeaderView::ResizeToContents);
    for (int c : {2, 5}) header->setSectionResizeMode(c, QHeaderView::Stretch);
}

void BackupPage::cancel() {
    if (!running_) return;
    cancelRequested_ = true;
    lblBackupStep_->setText(tr("Cancelling\u2026"));
}

QString BackupPage::askFile(FileQuestion question, const QString& suggestedName) {
    const QString path = chooseFile(question, QDir(lastFolder_).filePath(suggestedName));
    if (!path.isEmpty()) lastFolder_ = QFileInfo(path).absolutePath();
    return path;
}

// Takes the file into the page; its modules fill the list, all ticked, unless
// it is the file in hand again with the same modules: then ticks and numbers stay.
bool BackupPage::openBackup(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        bus_.prompter.show(tr("Cannot read %1: %2").arg(path, file.errorString()).toStdString());
        return false;
    }
    std::string error;
    std::optional<ops::Backup> read = backup::fromJson(file.readAll(), error);
    if (!read) {
        bus_.prompter.show(path.toStdString() + ": " + error);
        return false;
    }
    const auto names = [](const ops::Backup& b) {
        std::vector<ops::ModuleName> n;
        for (const ops::ModuleBackup& m : b.modules) n.push_back(m.name);
        return n;
    };
    const bool sameModules = backup_ && path == path_ && names(*backup_) == names(*read);
    backup_ = std::move(read);
    path_ = path;
    lblBackupFile_->setText(
        lblBackupFile_->fontMetrics().elidedText(tr("File: %1").arg(QDir::toNativeSeparators(path)),
                                                 Qt::ElideMiddle, lblBackupFile_->width()));
    if (!sameModules) listModules();
    return true;
}

void BackupPage::listModules() {
    const QSignalBlocker quiet(lstBackupModules_);
    lstBackupModules_->clear();
    for (const ops::ModuleBackup& m : backup_->modules) {
        const QString name = qs(ops::moduleNameOf(m.name, m.type));
        auto* item =
            new QTreeWidgetItem(lstBackupModules_, {qs(ops::moduleLabel(m.name, m.type)), name});
        item->setData(0, Qt::UserRole, name);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable | Qt::ItemIsEditable);
        item->setCheckState(0, Qt::Checked);
    }
    checkRestoreTo();
}

bool BackupPage::checkRestoreTo() {
    const QSignalBlocker quiet(lstBackupModules_);
    const QString hint = tr("Another number, like 7, restores this module's settings there");
    std::map<std::string, QString> taken;  // where the ticked modules with another number go
    bool good = true;
    for (int i = 0; i < lstBackupModules_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = lstBackupModules_->topLevelItem(i);
        RestoreTo to = restoreTo(backup_->modules[static_cast<std::size_t>(i)], item->text(1));
        const bool ticked = item->checkState(0) == Qt::Checked;
        const QString own = item->data(0, Qt::UserRole).toString();
        if (ticked && to.problem.isEmpty() && qs(to.target) != own) {
            const auto [at, added] = taken.emplace(to.target, own);
            if (!added)
                to.problem = tr("%1 goes to %2 already: one module of the file per module")
                                 .arg(at->second, qs(to.target));
        }
        mark(item, 1, to.problem, hint);
        good = good && (!ticked || to.problem.isEmpty());
    }
    return good;
}

// The ticked modules and their numbers as korvelctl's --only and --map say
// them, checked against the file; nullopt after a box saying why not.
std::optional<std::vector<ops::RestoreTarget>> BackupPage::tickedTargets() {
    if (!checkRestoreTo()) {
        bus_.prompter.show(tr("A \"Restore to\" cell names no module the settings can go to; "
                              "its tool tip says why.")
                               .toStdString());
        return std::nullopt;
    }
    std::vector<std::string> only, map;
    bool all = true;
    for (int i = 0; i < lstBackupModules_->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = lstBackupModules_->topLevelItem(i);
        const QString name = item->data(0, Qt::UserRole).toString();
        if (item->checkState(0) != Qt::Checked) {
            all = false;
            continue;
        }
        only.push_back(name.toStdString());
        const std::string to =
            restoreTo(backup_->modules[static_cast<std::size_t>(i)], item->text(1)).target;
        if (qs(to) != name) map.push_back(name.toStdString() + "=" + to);
    }
    if (only.empty()) {
        bus_.prompter.show(tr("No module is ticked.").toStdString());
        return std::nullopt;
    }
    if (all) only.clear();
    std::string error;
    auto targets = ops::restoreTargets(*backup_, only, map, error);
    if (!targets) bus_.prompter.show(error);
    return targets;
}

// The run reports between exchanges. The window handles its events after every
// exchange (`holdForRun`), so the bar is drawn and a Cancel click taken there;
// the run reads it before its next exchange.
void BackupPage::prepare(ops::Bus& bus) {
    bus.retries = kWindowRetries;
    bus.progress = [this](const ops::RunProgress& p) { showProgress(p); };
    bus.stopRequest = [this] {
        return cancelRequested_ ? std::string("cancelled") : std::string();
    };
}

void BackupPage::showProgress(const ops::RunProgress& progress) {
    if (!cancelRequested_)
        lblBackupStep_->setText(progress.setting.empty()
                                    ? qs(progress.module)
                                    : qs(progress.module) + ": " + settingWords(progress.setting));
    prgBackup_->setRange(0, static_cast<int>(progress.total));
    prgBackup_->setValue(static_cast<int>(progress.done));
}

void BackupPage::showItems(const std::vector<RunItem>& items, bool fileWritten) {
    lstBackupResults_->setUpdatesEnabled(false);
    lstBackupResults_->clear();
    QList<QTreeWidgetItem*> rows;
    for (const RunItem& item : items) {
        const QString words = settingWords(item.setting);
        const QString setting = item.permanent ? words : tr("%1 (active)").arg(words);
        const QString reason = reasonText(item);
        auto* row = new QTreeWidgetItem(
            QStringList{resultText(item, fileWritten), qs(ops::moduleLabel(item.module, item.type)),
                        setting, valueText(item.fileValue), valueText(item.moduleValue), reason});
        // The whole setting and reason, wherever the pointer rests on the row.
        const QString tip = reason.isEmpty() ? setting : setting + ": " + reason;
        for (int c = 0; c < row->columnCount(); ++c) row->setToolTip(c, tip);
        if (item.kind == ItemKind::Refused) mark(row, 0, reason, reason);
        rows << row;
    }
    lstBackupResults_->addTopLevelItems(rows);
    lstBackupResults_->setUpdatesEnabled(true);
}

BackupPage::RunEnd BackupPage::runAfterStatus(const std::function<void(const StatusFacts&)>& body) {
    RunScope scope(*this);
    // A whole-system run asks its status steps again, as it does its reads.
    const std::optional<StatusFacts> facts = hooks_.requestStatus(kWindowRetries);
    if (facts) body(*facts);
    return {facts.has_value(), facts || scope.failed ? scope.failed : std::string()};
}

BackupPage::RunEnd BackupPage::runHeld(const std::function<void()>& body) {
    RunScope scope(*this);
    body();
    return {true, scope.failed};
}

// One box says how the run ended; a restore that did not end whole names what
// it wrote and what it did not.
void BackupPage::tell(RunKind kind, const RunResult& result,
                      const std::optional<std::string>& failed) {
    // The page speaks English throughout; the window's Dutch box text would make
    // one sentence of two languages.
    const QString why = failed ? tr("no answer from Korvel") : qs(result.stopped);
    const QString tally = qs(counts(result.items));
    QString text, detail = qs(failed.value_or(""));
    switch (kind) {
        case RunKind::Backup:
            text = tr("No backup written: %1.").arg(why.isEmpty() ? tally : why);
            break;
        case RunKind::Verify:
            text = why.isEmpty() ? tr("Verify done: %1.").arg(tally)
                                 : tr("Verify stopped (%1): %2.").arg(why, tally);
            break;
        case RunKind::Restore:
            text = why.isEmpty() ? tr("Restore done: %1.").arg(tally)
                                 : tr("Restore stopped (%1): %2.").arg(why, tally);
            detail = tr("Written: %1\nNot written: %2")
                         .arg(qs(result.writtenSummary()), qs(result.notWrittenSummary())) +
                     (detail.isEmpty() ? "" : "\n" + detail);
            break;
    }
    tellOutcome(text.toStdString(), detail.toStdString(), MessageIcon::Exclamation);
}

// The outcome stays on the page under the bar after its box has gone.
void BackupPage::tellOutcome(const std::string& text, const std::string& detail, MessageIcon icon) {
    lblBackupStep_->setText(lblBackupStep_->fontMetrics().elidedText(qs(text), Qt::ElideMiddle,
                                                                     lblBackupStep_->width()));
    bus_.prompter.showWithDetail(text, detail, icon);
}

void BackupPage::cmdBackup_Click() {
    if (!requirePortOpen(bus_.link, bus_.prompter)) return;
    const QString path =
        askFile(FileQuestion::Save,
                "korvel-backup-" + QDate::currentDate().toString(Qt::ISODate) + ".json");
    if (path.isEmpty()) return;
    if (const std::string why = backup::unwritableFolder(path.toStdString()); !why.empty()) {
        bus_.prompter.show(tr("No backup written: %1.").arg(qs(why)).toStdString());
        return;
    }
    ops::BackupRun run;
    const RunEnd end = runAfterStatus([&](const StatusFacts& facts) {
        ops::Bus bus(bus_.link, bus_.registry);
        prepare(bus);
        run = ops::takeBackup(bus, facts,
                              QDateTime::currentDateTimeUtc().toString(Qt::ISODate).toStdString());
    });
    showItems(run.result.items);
    // An exchange that failed only matters when the run did not end whole.
    if (!run.backup) return tell(RunKind::Backup, run.result, end.failedRun(run.result));
    // Only a whole backup is written, and whole or not at all: an older file stays as it was.
    if (const std::string why =
            backup::replaceFile(path.toStdString(), backup::toJson(*run.backup).toStdString());
        !why.empty())
        return tellOutcome(tr("No backup written: %1.").arg(qs(why)).toStdString(), {},
                           MessageIcon::Exclamation);
    showItems(run.result.items, true);
    openBackup(path);
    tellOutcome(tr("Backup of %1 saved in %2.")
                    .arg(qs(counted(run.backup->modules.size(), "module")), path)
                    .toStdString(),
                {}, MessageIcon::None);
}

// The file's modules as the list ticks and numbers them; nullopt when the user
// cancelled or the file or the list would not do, after a box saying why.
std::optional<std::vector<ops::RestoreTarget>> BackupPage::chooseTargets() {
    if (!requirePortOpen(bus_.link, bus_.prompter)) return std::nullopt;
    const QString path = askFile(FileQuestion::Open, QFileInfo(path_).fileName());
    if (path.isEmpty() || !openBackup(path)) return std::nullopt;
    return tickedTargets();
}

void BackupPage::cmdVerify_Click() {
    const auto targets = chooseTargets();
    if (!targets) return;
    RunResult result;
    const RunEnd end = runAfterStatus([&](const StatusFacts&) {
        ops::Bus bus(bus_.link, bus_.registry);
        prepare(bus);
        result = ops::verify(bus, *targets);
    });
    showItems(result.items);
    if (!end.statusDone || !result.whole())
        return tell(RunKind::Verify, result, end.failedRun(result));
    tellOutcome(tr("All %1 settings are as in the file.").arg(result.items.size()).toStdString(),
                {}, MessageIcon::None);
}

std::optional<ops::FileValues> BackupPage::confirmRestore(
    const std::vector<ops::RestoreTarget>& targets) {
    // The dry run: the list shows every value to be written, and the modules
    // that are not there now.
    std::vector<RunItem> plan, absent;
    std::size_t modules = 0;
    for (const ops::RestoreTarget& t : targets) {
        if (std::optional<RunItem> skipped = ops::skippedNow(bus_.registry, t)) {
            absent.push_back(std::move(*skipped));
            continue;
        }
        ++modules;
        std::ranges::copy(ops::restorePlan({t}), std::back_inserter(plan));
    }
    QStringList refused, missing;
    for (const RunItem& i : plan)
        if (i.kind == ItemKind::Refused)
            refused << tr("%1 (the page sends %2)").arg(planned(i), qs(i.allowed));
    for (const RunItem& i : absent)
        missing << qs(ops::moduleLabel(i.module, i.type) + ": " + i.reason);
    plan.insert(plan.end(), absent.begin(), absent.end());
    showItems(plan);
    const auto writes = std::ranges::count_if(
        plan, [](const RunItem& i) { return i.kind != ItemKind::Skipped && !i.readOnly; });
    QString question = tr("Write the %1 permanent settings listed to %2?")
                           .arg(writes)
                           .arg(qs(counted(modules, "module")));
    lblBackupStep_->setText(question);
    if (!missing.isEmpty())
        question += "\n\n" + tr("Not written, as the system is now: %1.").arg(missing.join("; "));
    if (!refused.isEmpty())
        question += "\n\n" + tr("The file holds values the page could not send: %1. OK writes "
                                "them as they are; Cancel writes nothing.")
                                 .arg(refused.join("; "));
    // Enter must not write a value the page could not send.
    if (!confirmOrCancel(
            bus_.prompter, question.toStdString(),
            refused.isEmpty() ? MessageButtons::OkCancel : MessageButtons::OkCancelDefaultCancel))
        return std::nullopt;
    return refused.isEmpty() ? ops::FileValues::PageRange : ops::FileValues::AnyValue;
}

void BackupPage::cmdRestore_Click() {
    const auto targets = chooseTargets();
    if (!targets) return;
    // The status first, so that the question can name the modules absent now.
    const RunEnd status = runAfterStatus([](const StatusFacts&) {});
    if (!status.statusDone) return tell(RunKind::Restore, {}, status.failed);
    const std::optional<ops::FileValues> values = confirmRestore(*targets);
    if (!values) return;
    RunResult result;
    const RunEnd end = runHeld([&] {
        ops::Bus bus(bus_.link, bus_.registry);
        prepare(bus);
        result = ops::restore(bus, *targets, *values);
    });
    showItems(result.items);
    if (!end.statusDone || !result.whole())
        return tell(RunKind::Restore, result, end.failedRun(result));
    tellOutcome(tr("%1 restored, every setting read back equal.")
                    .arg(qs(counted(targets->size(), "module")))
                    .toStdString(),
                {}, MessageIcon::None);
}

}  // namespace korvel::ui
