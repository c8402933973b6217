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
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <utility>

#include "backup/backup_file.h"
#include "backup/safe_file.h"
#include "service/dispatch.h"
#include "service/number_text.h"
#include "ui/placement.h"
#include "ui/widget_kit.h"
#include "ui_model/outcome_boxes.h"

namespace korvel::ui {

namespace {

using ops::ItemKind;
using ops::RunItem;
using ops::RunResult;

constexpr Placement kBackupPagePlacements[] = {
    {"cmdBackup", "Backup\u2026", 240, 240, 1335, 375},
    {"cmdVerify", "Verify\u2026", 1680, 240, 1335, 375},
    {"cmdRestore", "Restore\u2026", 3120, 240, 1335, 375},
    {"lblBackupFile", "No file", 240, 780, 6765, 255},
    {"lstBackupModules", nullptr, 240, 1080, 6765, 1560},
    {"lblBackupStep", nullptr, 240, 2820, 6765, 255},
    {"prgBackup", nullptr, 240, 3120, 5280, 315},
    {"cmdBackupCancel", "Cancel", 5670, 3090, 1335, 375},
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

QString resultText(const RunItem& item) {
    switch (item.kind) {
        case ItemKind::Saved:
            return "saved";
        case ItemKind::Equal:
            return "equal";
        case ItemKind::Written:
            return "written, read back equal";
        case ItemKind::Sent:
            return "written, not read back";
        case ItemKind::Different:
            return "different";
        case ItemKind::Skipped:
            return "skipped";
        case ItemKind::NotAnswered:
            return "not answered";
        case ItemKind::Planned:
            return item.readOnly ? "to read back" : "to write";
    }
    return {};
}

QString valueText(const std::optional<int>& value) {
    return value ? QString::number(*value) : QString();
}

// "12 written, 2 different, 1 not answered": how many items of each kind a run left.
std::string counts(const std::vector<RunItem>& items) {
    static constexpr std::pair<ItemKind, const char*> kKinds[] = {
        {ItemKind::Saved, "saved"},
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
        if (n > 0) text += (text.empty() ? "" : ", ") + std::to_string(n) + " " + word;
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
            page_.lblBackupStep_->setText("Status request");
        }
    }

    BackupPage& page_;
};

BackupPage::BackupPage(BusContext& bus, RunHooks hooks, QWidget* tab)
    : QObject(tab), bus_(bus), hooks_(std::move(hooks)), lastFolder_(QDir::homePath()) {
    chooseFile = [tab](FileQuestion question, const QString& suggested) {
        const QString filter = "Backups (*.json);;All files (*)";
        return question == FileQuestion::Save
                   ? QFileDialog::getSaveFileName(tab, "Backup", suggested, filter)
                   : QFileDialog::getOpenFileName(tab, "Open a backup", suggested, filter);
    };
    buildButtons(tab);
    buildModules(tab);
    buildProgress(tab);
}

void BackupPage::buildButtons(QWidget* tab) {
    cmdBackup_ = make<QPushButton>("cmdBackup", tab);
    cmdBackup_->setToolTip("Save every setting of every KX and ZR32 module in a file");
    connect(cmdBackup_, &QPushButton::clicked, this, &BackupPage::cmdBackup_Click);
    cmdVerify_ = make<QPushButton>("cmdVerify", tab);
    cmdVerify_->setToolTip("Compare the permanent settings of the ticked modules with a file");
    connect(cmdVerify_, &QPushButton::clicked, this, &BackupPage::cmdVerify_Click);
    cmdRestore_ = make<QPushButton>("cmdRestore", tab);
    cmdRestore_->setToolTip("Write the permanent settings of a file to the ticked modules");
    connect(cmdRestore_, &QPushButton::clicked, this, &BackupPage::cmdRestore_Click);
}

void BackupPage::buildModules(QWidget* tab) {
    lblBackupFile_ = make<QLabel>("lblBackupFile", tab);
    // A module is restored when ticked; its "Restore to" cell gives it another number.
    lstBackupModules_ =
        makeList("lstBackupModules", "Modules of the file", {"Module", "Restore to"}, tab);
    lstBackupModules_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstBackupModules_->setColumnWidth(0, lstBackupModules_->width() / 2);
    connect(lstBackupModules_, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { lstBackupModules_->editItem(item, 1); });
}

void BackupPage::buildProgress(QWidget* tab) {
    lblBackupStep_ = make<QLabel>("lblBackupStep", tab);
    prgBackup_ = make<QProgressBar>("prgBackup", tab);
    prgBackup_->setAccessibleName("Progress");
    prgBackup_->setFormat("%v of %m");
    prgBackup_->setValue(0);
    cmdBackupCancel_ = make<QPushButton>("cmdBackupCancel", tab);
    cmdBackupCancel_->setEnabled(false);
    connect(cmdBackupCancel_, &QPushButton::clicked, this, &BackupPage::cancel);
    lstBackupResults_ =
        makeList("lstBackupResults", "Results",
                 {"Result", "Module", "Setting", "In file", "In module", "Reason"}, tab);
    const int widths[] = {130, 85, 140};
    for (int c = 0; c < 3; ++c) lstBackupResults_->setColumnWidth(c, widths[c]);
    // The value columns as wide as their captions or values, whichever is wider.
    for (int c : {3, 4})
        lstBackupResults_->header()->setSectionResizeMode(c, QHeaderView::ResizeToContents);
}

void BackupPage::cancel() {
    if (!running_) return;
    cancelRequested_ = true;
    lblBackupStep_->setText("Cancelling\u2026");
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
        bus_.prompter.show("Cannot read " + path.toStdString() + ": " +
                           file.errorString().toStdString());
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
    lblBackupFile_->setText(lblBackupFile_->fontMetrics().elidedText(
        "File: " + QDir::toNativeSeparators(path), Qt::ElideMiddle, lblBackupFile_->width()));
    if (!sameModules) listModules();
    return true;
}

void BackupPage::listModules() {
    lstBackupModules_->clear();
    for (const ops::ModuleBackup& m : backup_->modules) {
        const QString name = qs(ops::moduleNameOf(m.name, m.type));
        auto* item =
            new QTreeWidgetItem(lstBackupModules_, {qs(ops::moduleLabel(m.name, m.type)), name});
        item->setData(0, Qt::UserRole, name);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable | Qt::ItemIsEditable);
        item->setCheckState(0, Qt::Checked);
    }
}

// The ticked modules and their numbers as korvelctl's --only and --map say
// them, checked against the file; nullopt after a box saying why not.
std::optional<std::vector<ops::RestoreTarget>> BackupPage::tickedTargets() {
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
        const QString to = item->text(1).trimmed();
        if (to != name) map.push_back((name + "=" + to).toStdString());
    }
    if (only.empty()) {
        bus_.prompter.show("No module is ticked.");
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
    bus.stopRequest = [this] { return cancelRequested_ ? std::string("cancelled") : std::string(); };
}

void BackupPage::showProgress(const ops::RunProgress& progress) {
    if (!cancelRequested_)
        lblBackupStep_->setText(
            qs(progress.module + (progress.setting.empty() ? "" : ": " + progress.setting)));
    prgBackup_->setRange(0, static_cast<int>(progress.total));
    prgBackup_->setValue(static_cast<int>(progress.done));
}

void BackupPage::showItems(const std::vector<RunItem>& items) {
    lstBackupResults_->setUpdatesEnabled(false);
    lstBackupResults_->clear();
    QList<QTreeWidgetItem*> rows;
    for (const RunItem& item : items) {
        const std::string setting =
            item.setting.empty() || item.permanent ? item.setting : item.setting + " (active)";
        rows << new QTreeWidgetItem(QStringList{
            resultText(item), qs(ops::moduleLabel(item.module, item.type)), qs(setting),
            valueText(item.fileValue), valueText(item.moduleValue), qs(item.reason)});
    }
    lstBackupResults_->addTopLevelItems(rows);
    lstBackupResults_->setUpdatesEnabled(true);
}

BackupPage::RunEnd BackupPage::runAfterStatus(
    const std::function<void(const StatusFacts&)>& body) {
    RunScope scope(*this);
    // A whole-system run asks its status steps again, as it does its reads.
    const std::optional<StatusFacts> facts = hooks_.requestStatus(kWindowRetries);
    if (facts) body(*facts);
    return {facts.has_value(), facts || scope.failed ? scope.failed : std::string()};
}

// One box says how the run ended; a restore that did not end whole names what
// it wrote and what it did not.
void BackupPage::tell(RunKind kind, const RunResult& result,
                      const std::optional<std::string>& failed) {
    // The page speaks English throughout; the window's Dutch box text would make
    // one sentence of two languages.
    const std::string why = failed ? std::string("no answer from Korvel") : result.stopped;
    const std::string ended = why.empty() ? "done" : "stopped (" + why + ")";
    std::string text, detail = failed.value_or("");
    switch (kind) {
        case RunKind::Backup:
            text = "No backup written: " + (why.empty() ? counts(result.items) : why) + ".";
            break;
        case RunKind::Verify:
            text = "Verify " + ended + ": " + counts(result.items) + ".";
            break;
        case RunKind::Restore:
            text = "Restore " + ended + ": " + counts(result.items) + ".";
            detail = "Written: " + result.writtenSummary() +
                     "\nNot written: " + result.notWrittenSummary() +
                     (detail.empty() ? "" : "\n" + detail);
            break;
    }
    tellOutcome(text, detail, MessageIcon::Exclamation);
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
        bus_.prompter.show("No backup written: " + why + ".");
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
        return tellOutcome("No backup written: " + why + ".", {}, MessageIcon::Exclamation);
    openBackup(path);
    tellOutcome("Backup of " + counted(run.backup->modules.size(), "module") + " saved in " +
                    path.toStdString() + ".",
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
    if (!end.statusDone || !result.whole()) return tell(RunKind::Verify, result, end.failedRun(result));
    tellOutcome("All " + std::to_string(result.items.size()) + " settings are as in the file.", {},
                MessageIcon::None);
}

void BackupPage::cmdRestore_Click() {
    const auto targets = chooseTargets();
    if (!targets) return;
    // The dry run first: the list shows every value that will be written.
    const std::vector<RunItem> plan = ops::restorePlan(*targets);
    showItems(plan);
    const auto writes = std::ranges::count_if(plan, [](const RunItem& i) { return !i.readOnly; });
    if (!confirmOrCancel(bus_.prompter, "Write the " + std::to_string(writes) +
                                            " permanent settings listed to " +
                                            counted(targets->size(), "module") + "?"))
        return;
    RunResult result;
    const RunEnd end = runAfterStatus([&](const StatusFacts&) {
        ops::Bus bus(bus_.link, bus_.registry);
        prepare(bus);
        result = ops::restore(bus, *targets);
    });
    showItems(result.items);
    if (!end.statusDone || !result.whole()) return tell(RunKind::Restore, result, end.failedRun(result));
    tellOutcome(counted(targets->size(), "module") + " restored, every setting read back equal.", {},
                MessageIcon::None);
}

}  // namespace korvel::ui
