#include <QAccessible>
#include <QCheckBox>
#include <QPushButton>
#include <QTabWidget>
#include <array>

#include "tests/ui/window_rig.h"
#include "ui/access_keys.h"

namespace korvel::testing {
namespace {

using KeyboardTest = WindowTest;

// Alt+letter presses a button; what a screen reader says of it stays its caption.
TEST_F(KeyboardTest, ButtonsHaveAccessKeysAndKeepTheirNames) {
    const std::array<QString, 3> cases[] = {
        {"cmdRefresh", "Refresh", "&Refresh"},      {"cmdReset", "Reset Fault", "R&eset Fault"},
        {"cmdStatus", "Status", "&Status"},         {"cmdErase", "Erase All", "Er&ase All"},
        {"cmdConfig", "VGU-Config", "&VGU-Config"}, {"Command1(0)", "F1..F4+L", "&F1..F4+L"},
    };
    for (const auto& [name, caption, marked] : cases) {
        auto* button = find<QPushButton>(name);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), marked);
        EXPECT_EQ(QAccessible::queryAccessibleInterface(button)->text(QAccessible::Name), caption);
    }
}

// Every button has a key; the top row's keys are never one of a page's
// buttons, and a page's first captions get keys of their own.
TEST_F(KeyboardTest, EveryButtonHasAKeyAndTheTopRowsAreItsOwn) {
    showLogAndTestFrame();
    registerDemo();
    const QString topRow = "res";  // Refresh, Reset Fault, Status
    for (int page = 0; page < window->tabs()->count(); ++page) {
        QHash<QChar, QStringList> captionsOf;
        for (QPushButton* b : window->tabs()->widget(page)->findChildren<QPushButton*>()) {
            const qsizetype at = b->text().indexOf('&');
            ASSERT_GE(at, 0) << b->objectName().toStdString();
            const QChar key = b->text()[at + 1].toLower();
            EXPECT_FALSE(topRow.contains(key)) << b->objectName().toStdString();
            const QString caption = ui::withoutAccessKey(b->text());
            if (!captionsOf[key].contains(caption)) captionsOf[key] << caption;
        }
        // The VG page and the Backup page have keys enough for each caption.
        if (page < 2) continue;
        for (const QStringList& captions : captionsOf)
            EXPECT_EQ(captions.size(), 1) << captions.join(", ").toStdString();
    }
    // The boxes whose captions are abbreviations, and Stop and Reset Fault, say what they do.
    showTab(2);
    QStringList named{"Check_Stop", "cmdReset"};
    for (QCheckBox* box : window->tabs()->widget(2)->findChildren<QCheckBox*>())
        if (box->objectName().startsWith("chkVGU") && !box->isHidden()) named << box->objectName();
    EXPECT_GT(named.size(), 4);
    for (const QString& name : named)
        EXPECT_FALSE(find(name)->toolTip().isEmpty()) << name.toStdString();
}

TEST_F(KeyboardTest, TheTestFrameTabsThroughItsBoxesAsTheyRead) {
    showLogAndTestFrame();
    QWidget* at = find("Text_Block");
    QStringList order;
    while (at->parentWidget()->objectName() == "Frame_Test" && order.size() < 20) {
        order << at->objectName();
        at = at->nextInFocusChain();
        while (at->focusPolicy() == Qt::NoFocus) at = at->nextInFocusChain();
    }
    QStringList expected{"Text_Block", "Text_Decoder"};
    for (int k = 0; k < 8; ++k) expected << QString("Check_Pattern(%1)").arg(k);
    for (int k = 0; k < 5; ++k) expected << QString("Command1(%1)").arg(k);
    EXPECT_EQ(order, expected);
}

}  // namespace
}  // namespace korvel::testing
