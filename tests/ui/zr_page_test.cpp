#include "ui/zr_page.h"

#include <QComboBox>
#include <QFontInfo>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "tests/ui/window_fixture.h"

namespace korvel::testing {
namespace {

class ZrPageTest : public WindowTest {
  protected:
    ZrPageTest() {
        find<QTabWidget>("SSTab1")->setCurrentIndex(1);
        // What a status request leaves behind when ZR modules 1 and 6 answered.
        ModuleRegistry& registry = window->registry();
        registry.zrPresent[1] = registry.zrPresent[6] = 1;
        registry.zrList.add("All", kAllZR);
        registry.zrList.add(" 1", 1);
        registry.zrList.add(" 6", 6);
        registry.zrList.selected = 0;
        window->findChild<ui::ZrPage*>()->refreshList();
    }
    void select(int index) {
        auto* cbo = find<QComboBox>("cboZR");
        cbo->setCurrentIndex(index);
        emit cbo->activated(index);
    }
    void click(const QString& name) {
        QTest::mouseClick(find<QAbstractButton>(name), Qt::LeftButton);
    }
    bool visible(const QString& name) { return find<QWidget>(name)->isVisible(); }
    QString report() { return find<QPlainTextEdit>("textZRReport")->toPlainText(); }
};

TEST_F(ZrPageTest, GetConfigurationFillsTheReportBox) {
    EXPECT_EQ(find<QComboBox>("cboZR")->currentText(), "All");
    EXPECT_FALSE(visible("cmdGetZRConfig"));
    pickPort1();
    select(1);
    EXPECT_TRUE(visible("cmdGetZRConfig"));
    EXPECT_FALSE(visible("textZRReport"));
    click("cmdGetZRConfig");
    EXPECT_TRUE(visible("textZRReport"));
    EXPECT_TRUE(visible("cmdHideZRConfig"));
    const QStringList lines = report().split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3 + 64);
    EXPECT_EQ(lines[0], "ZR32#1 Active settings:");
    EXPECT_EQ(lines[1], "Default Timing =   200ms");
    EXPECT_EQ(lines[2], "Device  Timing  Power");
    EXPECT_EQ(lines[3], "     0 Default  Normal");
    EXPECT_EQ(lines[4], "     1   100ms  Low");
    EXPECT_EQ(lines[66], "    63   300ms  Unlimited");
    EXPECT_TRUE(prompter.shown.empty());
    screenshot(window.get(), "zr_page_report");

    // A new selection only hides the report; Hide clears it.
    select(0);
    EXPECT_FALSE(visible("textZRReport"));
    EXPECT_FALSE(visible("cmdGetZRConfig"));
    EXPECT_FALSE(report().isEmpty());
    select(2);
    click("cmdGetZRConfig");
    EXPECT_TRUE(report().startsWith("ZR32#6 Active settings:\n"));
    click("cmdHideZRConfig");
    EXPECT_FALSE(visible("textZRReport"));
    EXPECT_FALSE(visible("cmdHideZRConfig"));
    EXPECT_TRUE(visible("cmdGetZRConfig"));
    EXPECT_TRUE(report().isEmpty());

    // A status request that finds no ZR module leaves nothing to report on.
    window->registry().zrList.clear();
    window->findChild<ui::ZrPage*>()->refreshList();
    EXPECT_FALSE(visible("cmdGetZRConfig"));
}

TEST_F(ZrPageTest, ReportBoxUsesAFixedPitchFont) {
    const QFont font = find<QPlainTextEdit>("textZRReport")->font();
    EXPECT_TRUE(QFontInfo(font).fixedPitch());
    EXPECT_DOUBLE_EQ(font.pointSizeF(), 8.25);
}

}  // namespace
}  // namespace korvel::testing
