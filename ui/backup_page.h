#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ops/system_runs.h"
#include "status/status_request.h"
#include "ui/bus_context.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTreeWidget;

namespace korvel::ui {

// What a run asks of the window around the page.
struct RunHooks {
    // The status request as "Status" makes it, without its window: registers
    // the modules and refreshes the lists, each step asked up to 1 + `retries`
    // times. nullopt when it failed.
    std::function<std::optional<StatusFacts>(int retries)> requestStatus;
    // On: the rest of the window takes no input, the poll timer stays off, and
    // the window handles its events after every exchange. Off: all as before.
    std::function<void(bool on)> holdForRun;
};

// The "Backup" tab: every module's settings into a file, compared with one,
// or written back from one, with a progress bar, a Cancel button and the
// results as a list.
class BackupPage final : public QObject {
    Q_OBJECT
  public:
    BackupPage(BusContext& bus, RunHooks hooks, QWidget* tab);

    enum class FileQuestion { Save, Open };
    // Asks for a file, starting from `suggested`; empty when the user cancelled.
    // The desktop's file dialog unless replaced (tests).
    std::function<QString(FileQuestion, const QString& suggested)> chooseFile;

    bool running() const { return running_; }
    // As "Cancel": the exchange in hand ends, then the run stops.
    void cancel();

  private:
    class RunScope;
    enum class RunKind { Backup, Verify, Restore };

    void buildButtons(QWidget* tab);
    void buildModules(QWidget* tab);
    void buildProgress(QWidget* tab);

    void cmdBackup_Click();
    std::optional<std::vector<ops::RestoreTarget>> chooseTargets();
    void cmdVerify_Click();
    void cmdRestore_Click();

    QString askFile(FileQuestion question, const QString& suggestedName);
    bool openBackup(const QString& path);
    void listModules();
    // Marks each "Restore to" cell that names no module its row's settings can
    // go to, with the reason in its tool tip; true when every ticked row's cell will do.
    bool checkRestoreTo();
    std::optional<std::vector<ops::RestoreTarget>> tickedTargets();
    // Asks before a restore, naming the modules absent now and the values the
    // page could not send; the plan goes into the list. Unset when not confirmed.
    std::optional<ops::FileValues> confirmRestore(const std::vector<ops::RestoreTarget>& targets);
    // The bus a run goes over: the window's link and registry, with the bar and Cancel.
    void prepare(ops::Bus& bus);
    void showProgress(const ops::RunProgress& progress);
    // `fileWritten`: a backup's file was written, so what it read is saved.
    void showItems(const std::vector<ops::RunItem>& items, bool fileWritten = false);
    // How a run went: whether its status request completed, and the detail of
    // the first exchange that failed, if one did (retries may have made up for it).
    struct RunEnd {
        bool statusDone = false;
        std::optional<std::string> failed;
        // The failure that ended the run, if one did.
        std::optional<std::string> failedRun(const ops::RunResult& result) const {
            return !statusDone || !result.stopped.empty() ? failed : std::nullopt;
        }
    };
    // Runs `body` after a status request, with the window held.
    RunEnd runAfterStatus(const std::function<void(const StatusFacts&)>& body);
    // Runs `body` with the window held, on the status the last run asked for.
    RunEnd runHeld(const std::function<void()>& body);
    void tellOutcome(const std::string& text, const std::string& detail, MessageIcon icon);
    void tell(RunKind kind, const ops::RunResult& result, const std::optional<std::string>& failed);

    BusContext& bus_;
    RunHooks hooks_;
    std::optional<ops::Backup> backup_;  // the file in hand, which the module list shows
    QString path_;
    QString lastFolder_;
    bool running_ = false;
    bool cancelRequested_ = false;

    QPushButton* cmdBackup_ = nullptr;
    QPushButton* cmdVerify_ = nullptr;
    QPushButton* cmdRestore_ = nullptr;
    QLabel* lblBackupFile_ = nullptr;
    QTreeWidget* lstBackupModules_ = nullptr;
    QLabel* lblBackupStep_ = nullptr;
    QProgressBar* prgBackup_ = nullptr;
    QPushButton* cmdBackupCancel_ = nullptr;
    QTreeWidget* lstBackupResults_ = nullptr;
};

}  // namespace korvel::ui
