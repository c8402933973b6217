// The "Backup" page on the real window: backup, verify and a mapped restore;
// Cancel halfway; and the window's files read by korvelctl and back.
#include "ui/backup_page.h"

#include <QComboBox>
#include <QFile>
#include <QMouseEvent>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <sstream>

#include "ctl/cli.h"
#include "ctl/qt_line.h"
#include "sim/handlers.h"
#include "sim/pty_server.h"
#include "tests/ui/window_rig.h"

namespace korvel::testing {
namespace {

using sim::ModuleFamily;

// Every permanent setting of the simulated system: what a restore puts back.
std::vector<int> permanentSettings(const sim::SimSystem& s) {
    std::vector<int> v;
    for (const sim::SimModule& m : s.modules) {
        for (const sim::KxSettings* k : {&m.kxPermanent, &m.kxSecondPermanent})
            v.insert(v.end(), k->value.begin(), k->value.end());
        v.push_back(m.zrPermanent.defaultTime);
        for (const sim::ZrDevice& d : m.zrPermanent.devices) v.insert(v.end(), {d.time, d.power});
    }
    return v;
}

int& hfi(sim::SimSystem& s, int module) {
    return sim::findModule(s, ModuleFamily::KX, module)->kxPermanent.value[1];
}

// Settings changed since the backup: a KX module's HFI level, a ZR32 device's time and power.
void changeSettings(sim::SimSystem& s) {
    hfi(s, 0) = 3;
    sim::findModule(s, ModuleFamily::ZR, 6)->zrPermanent.devices[63] = {99, 3};
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
        window->findChild<ui::BackupPage*>()->chooseFile = [this](auto, const QString& suggested) {
            suggested_ << suggested;
            return file;
        };
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
    // A click on Cancel that waits in the event queue, where only the window's
    // own event handling finds it.
    void postCancelClick() {
        QWidget* cancel = find("cmdBackupCancel");
        const QPointF at = cancel->rect().center();
        for (auto [type, buttons] : {std::pair{QEvent::MouseButtonPress, Qt::LeftButton},
                                     std::pair{QEvent::MouseButtonRelease, Qt::NoButton}})
            QCoreApplication::postEvent(cancel, new QMouseEvent(type, at, cancel->mapToGlobal(at),
                                                                Qt::LeftButton, buttons, {}));
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
    changeSettings(controller.system());
    hfi(controller.system(), 5) = 2;
    run("cmdVerify");
    EXPECT_EQ(suggested_.last(), file);  // the file in hand, in the last folder
    EXPECT_EQ(rowsOf(find<QTreeWidget>("lstBackupResults"), "different"),
              "kx:0 (KX-H)|hfi|7|3\nkx:5 (KX-H)|hfi|7|2\nzr:6 (ZR32)|device 63 time|18|99");
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

// Cancel halfway: a backup writes no file and leaves an older one as it was; a
// restore lists what it wrote. A controller that falls silent halfway is one
// box at the end. Meanwhile the bar stands between its ends, the poll timer is
// off and the rest of the window takes no input.
TEST_F(BackupPageTest, CancelOrSilenceHalfway) {
    run("cmdBackup");
    const std::string older = "an older backup";
    const auto cancel = [this] { postCancelClick(); };
    const auto silence = [this] { controller.faults().silent = true; };
    const struct {
        QString file;
        std::function<void()> halfway;
        std::string box;  // how the last box starts
    } cases[] = {
        {dir.filePath("new.json"), cancel, "No backup written: cancelled at "},
        {dir.filePath("older.json"), cancel, "No backup written: cancelled at "},
        {file, cancel, "Restore stopped (cancelled): 48 written, "},
        {file, silence, "Restore stopped (Geen antwoord van Korvel): 48 written, "},
    };
    QFile olderFile(cases[1].file);
    ASSERT_TRUE(olderFile.open(QIODevice::WriteOnly) && olderFile.write(older.c_str()) > 0);
    olderFile.close();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.box);
        file = c.file;
        shareAtHalf = 0;
        const bool restore = c.box.starts_with("Restore");
        run(restore ? "cmdRestore" : "cmdBackup", c.halfway);
        EXPECT_GT(shareAtHalf, 0);
        EXPECT_LT(shareAtHalf, 100);
        EXPECT_TRUE(heldAtHalf);
        EXPECT_TRUE(prompter.texts().back().starts_with(c.box)) << prompter.texts().back();
        EXPECT_EQ(prompter.texts().size(), restore ? 2u : 1u);  // the question, the outcome
    }
    EXPECT_FALSE(QFile::exists(cases[0].file));
    EXPECT_TRUE(olderFile.open(QIODevice::ReadOnly) && olderFile.readAll().toStdString() == older);
    EXPECT_EQ(rowsOf(find<QTreeWidget>("lstBackupResults"), "written, read back equal").count('\n'),
              47);
    EXPECT_TRUE(prompter.shown.back().detail.starts_with("Written: kx:0 (KX-H) (every setting); "));
    click("cmdReset");  // the window's own box is back
    EXPECT_EQ(prompter.texts().back(), kNoAnswer);
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
    window.show();
    window.tabs()->setCurrentIndex(3);
    QTemporaryDir dir;
    QString file;
    window.findChild<ui::BackupPage*>()->chooseFile = [&](auto, const QString&) { return file; };
    const auto inWindow = [&](const char* button, const char* name) {
        file = dir.filePath(name);
        auto* ports = window.findChild<QComboBox*>("cboPort");
        emit ports->activated(ports->findText(" 1"));
        QTest::mouseClick(window.findChild<QWidget*>(button), Qt::LeftButton);
        QTest::mouseClick(window.findChild<QWidget*>("cmdRefresh"),
                          Qt::LeftButton);  // closes the port
    };
    const auto korvelctl = [&](const char* command, const char* name) {
        ctl::QtLineAccess line;
        std::ostringstream out, err;
        return ctl::runKorvelctl({"korvelctl", "-p", QString::fromStdString(server.devicePath()),
                                  command, dir.filePath(name)},
                                 line, ctl::Terminal{out, err, false});
    };
    const auto settings = [&] {
        return server.withController(
            [](sim::SimController& c) { return permanentSettings(c.system()); });
    };
    const auto change = [&] {
        server.withController([](sim::SimController& c) { changeSettings(c.system()); });
    };
    const std::vector<int> saved = settings();
    inWindow("cmdBackup", "window.json");
    change();
    EXPECT_EQ(korvelctl("restore", "window.json"), ctl::kExitOk);
    EXPECT_EQ(settings(), saved);
    EXPECT_EQ(korvelctl("backup", "ctl.json"), ctl::kExitOk);
    change();
    inWindow("cmdRestore", "ctl.json");
    EXPECT_EQ(settings(), saved);
    EXPECT_EQ(prompter.texts().back(), "7 modules restored, every setting read back equal.");
}

}  // namespace
}  // namespace korvel::testing
