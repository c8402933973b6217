// A run of the Backup page asks for status to learn the modules; the KX and
// ZR pages keep what the user had picked, and the ZR report, through it.

#include <QComboBox>
#include <QTemporaryDir>

#include "tests/ui/window_rig.h"
#include "ui/backup_page.h"

namespace korvel::testing {
namespace {

struct KeptSelectionTest : WindowTest {
    KeptSelectionTest() {
        window->findChild<ui::BackupPage*>()->chooseFile = [this](auto, const QString&) {
            return file;
        };
        registerDemo();
    }
    QString kxAndZr() const {
        return find<QComboBox>("cboKX")->currentText() + "|" +
               find<QComboBox>("cboZR")->currentText() + "|" +
               (find("textZRReport")->isHidden() ? "hidden" : shown("textZRReport"));
    }
    QTemporaryDir dir;
    QString file = dir.filePath("b.json");
};

TEST_F(KeptSelectionTest, BackupVerifyAndRestoreLeaveThePagesAsPicked) {
    showTab(0);
    pick("cboKX", " 5");
    showTab(1);
    pick("cboZR", " 6");
    click("cmdGetZRConfig");
    const QString report = shown("textZRReport");
    ASSERT_FALSE(report.isEmpty());
    showTab(3);
    for (const char* run : {"cmdBackup", "cmdVerify", "cmdRestore"}) {
        click(run);
        EXPECT_EQ(kxAndZr(), " 5| 6|" + report) << run;
    }
}

// A module that is gone after the run leaves the list as the run made it; a
// report not asked for stays unasked.
TEST_F(KeptSelectionTest, AModuleNoLongerThereIsNotPickedAgain) {
    showTab(1);
    pick("cboZR", " 1");
    showTab(0);
    pick("cboKX", " 5");
    std::erase_if(controller.system().modules, [](const sim::SimModule& m) {
        return m.family == sim::ModuleFamily::KX && m.number == 5;
    });
    showTab(3);
    click("cmdBackup");
    EXPECT_EQ(find<QComboBox>("cboKX")->findText(" 5"), -1);
    EXPECT_EQ(kxAndZr(), " 0| 1|hidden");  // " 0": where a fresh list opens
}

}  // namespace
}  // namespace korvel::testing
