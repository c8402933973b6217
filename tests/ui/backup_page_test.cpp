// The "Backup" page on the real window: backup, verify and a mapped restore;
// Cancel halfway; and the window's files read by korvelctl and back.
#include "ui/backup_page.h"

#include <QComboBox>
#include <QFile>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "ctl/qt_line.h"
#include "sim/handlers.h"
#include "sim/pty_server.h"
#include "tests/ctl/ctl_rig.h"
#include "tests/ui/window_rig.h"

namespace korvel::testing {
namespace {

int& hfi(sim::SimSystem& s, int module) {
    return sim::findModule(s, sim::ModuleFamily::KX, module)->kxPermanent.value[1];
}

// Changes two settings since the backup: kx:0's HFI level and zr:6's device 63
// time, 7 and 18 in the demo system. Returns what they were.
std::pair<int, int> changeSettings(sim::SimController& c) {
    int& time = sim::findModule(c.system(), sim::ModuleFamily::ZR, 6)->zrPermanent.devices[63].time;
    return {std::exchange(hfi(c.system(), 0), 3), std::exchange(time, 99)};
}

// The rows of a list, or those whose first column is `result` without it, as "a|b|c|d".
QString rowsOf(const QTreeWidget* list, const QString& result = {}) {
    QStringList rows;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QStringList row;
        for (int c = 0; c < list->columnCount(); ++c) row << list->topLevelItem(i)->text(c);
        if (result.isEmpty() || row.takeFirst() == result) rows << row.mid(0, 4).join('|');
    }
    return rows.join('\n');
}

struct BackupPageTest : WindowTest {
    BackupPageTest() {
        auto* page = window->findChild<ui::BackupPage*>();
        page->chooseFile = [this](auto, const QString& s) { return suggested_ << s, file; };
        pickPort();
        showTab(3);
    }
    // Clicks `button`; once the bar has passed half way, `halfway` runs.
    void run(const char* button, const std::function<void()>& halfway = {}) {
        auto* bar = find<QProgressBar>("prgBackup");
        const auto watch = QObject::connect(bar, &QProgressBar::valueChanged, [=, this](int v) {
            if (!halfway || shareAtHalf > 0 || 2 * v < bar->maximum()) return;
            shareAtHalf = 100.0 * v / bar->maximum();
            heldAtHalf = !polling() && !find("cmdStatus")->isEnabled();
            screenshot(window.get(), "backup_page_running");
            halfway();
        });
        prompter.shown.clear();
        click(button);
        QObject::disconnect(watch);
    }
    QTemporaryDir dir;
    QString file = dir.filePath("b.json");
    QStringList suggested_;
    double shareAtHalf = 0;
    bool heldAtHalf = false;
};

TEST_F(BackupPageTest, BackupVerifyAndAMappedRestore) {
    run("cmdBackup");
    ASSERT_EQ(prompter.texts(),
              std::vector<std::string>{"Backup of 7 modules saved in " + file.toStdString() + "."});
    auto* modules = find<QTreeWidget>("lstBackupModules");
    EXPECT_EQ(rowsOf(modules).replace('\n', ' '),
              "kx:0 (KX-H)|kx:0 kx:2.0 (KX44)|kx:2.0 kx:2.1 (KX44)|kx:2.1 kx:3 (WOBE-s)|kx:3 "
              "kx:5 (KX-H)|kx:5 zr:1 (ZR32)|zr:1 zr:6 (ZR32)|zr:6");
    changeSettings(controller);
    hfi(controller.system(), 5) = 2;
    run("cmdVerify");
    EXPECT_EQ(suggested_.last(), file);  // the file in hand, in the last folder
    EXPECT_EQ(
        rowsOf(find<QTreeWidget>("lstBackupResults"), "different"),
        "kx:0 (KX-H)|HFI-level|7|3\nkx:5 (KX-H)|HFI-level|7|2\nzr:6 (ZR32)|device 63 time|18|99");
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Verify done: 303 equal, 3 different."});

    // kx:0's settings go to kx:5 alone.
    for (int i = 1; i < modules->topLevelItemCount(); ++i)
        modules->topLevelItem(i)->setCheckState(0, Qt::Unchecked);
    modules->topLevelItem(0)->setText(1, "kx:5");
    run("cmdRestore");
    EXPECT_EQ(prompter.texts(),
              (std::vector<std::string>{"Write the 12 permanent settings listed to 1 module?",
                                        "1 module restored, every setting read back equal."}));
    EXPECT_EQ(hfi(controller.system(), 5), 7);
    EXPECT_EQ(hfi(controller.system(), 0), 3);
    screenshot(window.get(), "backup_page");
}

// A whole-system run asks a status step that got no answer again, as it does
// its reads; the Status button alone would leave kx:5 out.
TEST_F(BackupPageTest, ALostStatusAnswerIsAskedAgain) {
    controller.faults().unanswered = [n = 0](const sim::FrameData& d) mutable {
        return d == sim::FrameData{1, 11, 37} && n++ < 1;
    };
    run("cmdBackup");
    EXPECT_EQ(prompter.texts(),
              std::vector<std::string>{"Backup of 7 modules saved in " + file.toStdString() + "."});
}

// Cancel halfway: a backup writes no file and leaves an older one as it was; a
// restore lists what it wrote. A controller that falls silent halfway is one
// box at the end. Meanwhile the bar stands between its ends, the poll timer is
// off and the rest of the window takes no input.
TEST_F(BackupPageTest, CancelOrSilenceHalfway) {
    run("cmdBackup");
    QFile older(file);  // the backup just made
    const QByteArray olderBytes = older.open(QIODevice::ReadOnly) ? older.readAll() : "";
    older.close();
    // A click on Cancel that waits for the window's own event handling.
    const auto cancel = [this] {
        QTimer::singleShot(0,
                           [this] { QTest::mouseClick(find("cmdBackupCancel"), Qt::LeftButton); });
    };
    const auto silence = [this] { controller.faults().silent = true; };
    const std::tuple<QString, std::function<void()>, std::string> cases[] = {
        // the file, what happens half way, how the last box starts
        {dir.filePath("new.json"), cancel, "No backup written: cancelled at "},
        {file, cancel, "No backup written: cancelled at "},
        {file, cancel, "Restore stopped (cancelled): 48 written, "},
        {file, silence, "Restore stopped (no answer from Korvel): 48 written, "}};
    for (const auto& [path, halfway, box] : cases) {
        SCOPED_TRACE(box);
        file = path;
        shareAtHalf = 0;
        const bool restore = box.starts_with("Restore");
        run(restore ? "cmdRestore" : "cmdBackup", halfway);
        EXPECT_TRUE(shareAtHalf > 0 && shareAtHalf < 100) << shareAtHalf;
        EXPECT_TRUE(heldAtHalf);
        EXPECT_TRUE(prompter.texts().back().starts_with(box)) << prompter.texts().back();
        EXPECT_EQ(prompter.texts().size(), restore ? 2u : 1u);  // the question, the outcome
        EXPECT_TRUE(restore || rowsOf(find<QTreeWidget>("lstBackupResults"), "saved").isEmpty());
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("new.json")));
    EXPECT_TRUE(older.open(QIODevice::ReadOnly) && older.readAll() == olderBytes);
    EXPECT_EQ(rowsOf(find<QTreeWidget>("lstBackupResults"), "written, read back equal").count('\n'),
              47);
    EXPECT_TRUE(prompter.shown.back().detail.starts_with("Written: kx:0 (KX-H) (every setting); "));
    click("cmdReset");  // the window's own box is back
    EXPECT_EQ(prompter.texts().back(), kNoAnswer);
}

// A value the page could not send, and a module that is gone: the list marks
// the value, the question names both, and only OK writes the value. A "Restore
// to" cell is checked as it is typed: a number is a module of the row's family;
// what names none is marked, with the reason as its tool tip.
TEST_F(BackupPageTest, TheQuestionAndTheRestoreToCellsSayWhatIsWrong) {
    hfi(controller.system(), 0) = 99;
    run("cmdBackup");
    hfi(controller.system(), 0) = 7;
    std::erase_if(controller.system().modules, [](const sim::SimModule& m) {
        return m.family == sim::ModuleFamily::KX && m.number == 5;
    });
    prompter.answer = MessageAnswer::Cancel;
    run("cmdRestore");
    EXPECT_EQ(prompter.shown.at(0).text,
              "Write the 292 permanent settings listed to 6 modules?\n\n"
              "Not written, as the system is now: kx:5 (KX-H): not present now.\n\n"
              "The file holds values the page could not send: kx:0 (KX-H) HFI-level = 99 (the page "
              "sends 0..15). OK writes them as they are; Cancel writes nothing.");
    EXPECT_EQ(prompter.shown[0].buttons, MessageButtons::OkCancelDefaultCancel);
    EXPECT_EQ(rowsOf(find<QTreeWidget>("lstBackupResults"), "to write if confirmed"),
              "kx:0 (KX-H)|HFI-level|99|");
    EXPECT_EQ(hfi(controller.system(), 0), 7);
    auto* modules = find<QTreeWidget>("lstBackupModules");
    const std::tuple<int, QString, QString> cells[] = {
        // row (kx:0, kx:2.0, kx:2.1, kx:3, kx:5, zr:1, zr:6), typed, the reason's start
        {0, "abc", "\"abc\" is no module"},
        {0, "zr:1", "A module keeps its family: the settings of kx:0 go to a KX module only"},
        {5, "8", "\"8\" is no module"},
        {5, " ZR:3 ", ""},
        {2, "7", ""},
        {0, "kx:7", ""},
        {4, "7", "kx:0 goes to kx:7 already: one module of the file per module"},
    };
    for (const auto& [row, typed, reason] : cells) {
        QTreeWidgetItem* item = modules->topLevelItem(row);
        item->setText(1, typed);
        EXPECT_EQ(item->background(1).style() != Qt::NoBrush, !reason.isEmpty()) << row;
        EXPECT_TRUE(item->toolTip(1).startsWith(reason) || reason.isEmpty()) << row;
    }
    screenshot(window.get(), "backup_page_marked");
    run("cmdRestore");
    EXPECT_TRUE(prompter.texts().at(0).starts_with("A \"Restore to\" cell names no module"));
    modules->topLevelItem(0)->setText(1, "0");
    EXPECT_EQ(modules->topLevelItem(4)->background(1).style(), Qt::NoBrush);
    prompter.answer = MessageAnswer::Ok;
    run("cmdRestore");
    EXPECT_EQ(hfi(controller.system(), 0), 99);
}

// One pseudo-terminal: the window's backup restores with korvelctl, korvelctl's
// with the window.
TEST(BackupPagePty, WindowAndKorvelctlRestoreEachOthersBackups) {
    sim::PtyServer server(sim::demoSystem());
    QtSerialPort serial;
    serial.overrideDevice(1, server.devicePath());
    SteadyClock clock;
    RecordingPrompter prompter;
    ui::MainWindow window(serial, clock, prompter);
    QTemporaryDir dir;
    const QString file = dir.filePath("b.json");
    window.findChild<ui::BackupPage*>()->chooseFile = [&](auto, auto) { return file; };
    const auto inWindow = [&](const char* button) {
        auto* ports = window.findChild<QComboBox*>("cboPort");
        emit ports->activated(ports->findText(" 1"));
        for (const char* name : {button, "cmdRefresh"})  // Refresh closes the port
            QTest::mouseClick(window.findChild<QWidget*>(name), Qt::LeftButton);
    };
    ctl::QtLineAccess line;
    const auto korvelctl = [&](const char* command) {
        return runCtl(line, {"-p", server.devicePath(), command, file.toStdString()}).exit;
    };
    // Changes the two settings and returns what they were restored to.
    const auto change = [&] {
        return server.withController([](sim::SimController& c) { return changeSettings(c); });
    };
    inWindow("cmdBackup");
    change();
    EXPECT_EQ(korvelctl("restore"), ctl::kExitOk);
    EXPECT_EQ(korvelctl("backup"), ctl::kExitOk);
    EXPECT_EQ(change(), std::pair(7, 18));
    inWindow("cmdRestore");
    EXPECT_EQ(change(), std::pair(7, 18));
    EXPECT_EQ(prompter.texts().back(), "7 modules restored, every setting read back equal.");
}

}  // namespace
}  // namespace korvel::testing
