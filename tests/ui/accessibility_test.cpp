#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include "tests/ui/window_fixture.h"
#include "ui/tab_order.h"

namespace korvel::testing {
namespace {

class AccessibilityTest : public WindowTest {
  protected:
    // Every window of the program, with its dialogs made.
    std::vector<QWidget*> allWindows() {
        pickPort1();
        QTest::mouseClick(find<QPushButton>("cmdStatus"), Qt::LeftButton);
        QTest::mouseClick(find<QPushButton>("cmdStatus"), Qt::LeftButton, Qt::ShiftModifier);
        QTest::mouseDClick(find<QWidget>("lblCom"), Qt::LeftButton);
        std::vector<QWidget*> windows;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible()) windows.push_back(w);
        return windows;
    }

    static bool isInput(QWidget* w) {
        return qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w) ||
               qobject_cast<QAbstractButton*>(w) || qobject_cast<QPlainTextEdit*>(w);
    }

    static QString accessibleName(QWidget* w) {
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(w);
        return face ? face->text(QAccessible::Name) : QString();
    }
};

TEST_F(AccessibilityTest, EveryInputHasAnAccessibleName) {
    const std::vector<QWidget*> windows = allWindows();
    ASSERT_GE(windows.size(), 4u);  // main window, both status windows, message log
    int inputs = 0;
    for (QWidget* window : windows) {
        for (QWidget* w : window->findChildren<QWidget*>()) {
            if (!isInput(w) || w->focusPolicy() == Qt::NoFocus) continue;
            ++inputs;
            EXPECT_FALSE(accessibleName(w).trimmed().isEmpty())
                << window->objectName().toStdString() << "/" << w->objectName().toStdString()
                << " (" << w->metaObject()->className() << ")";
        }
    }
    EXPECT_GT(inputs, 80);
}

TEST_F(AccessibilityTest, EnterOnAFocusedButtonPressesIt) {
    pickPort1();
    auto* reset = find<QPushButton>("cmdReset");
    reset->setFocus();
    const std::size_t before = controller.framesReceived().size();
    QTest::keyClick(reset, Qt::Key_Return);
    ASSERT_EQ(controller.framesReceived().size(), before + 1);
    EXPECT_EQ(controller.framesReceived().back(), (sim::FrameData{1, 0}));
    QTest::keyClick(reset, Qt::Key_Enter);
    EXPECT_EQ(controller.framesReceived().size(), before + 2);
}

TEST_F(AccessibilityTest, TabWalksTheTopRowLeftToRightThenTheTabs) {
    QApplication::setActiveWindow(window.get());
    find<QComboBox>("cboPort")->setFocus();
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    QStringList order{QApplication::focusWidget()->objectName()};
    for (int i = 0; i < 5; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        order << QApplication::focusWidget()->objectName();
    }
    EXPECT_EQ(order.join(",").toStdString(),
              "cboPort,cmdRefresh,Check_Stop,cmdReset,cmdStatus,qt_tabwidget_tabbar");
}

// On each tab, Tab visits the page's rows from top to bottom and, within a row,
// left to right, finishing each panel before the next.
TEST_F(AccessibilityTest, TabOrderOnEachPageFollowsTheRows) {
    pickPort1();
    QTest::mouseClick(find<QPushButton>("cmdStatus"), Qt::LeftButton);
    auto* tabs = find<QTabWidget>("SSTab1");
    QTest::mouseDClick(find<QWidget>("lblCom"), Qt::LeftButton);
    QApplication::setActiveWindow(window.get());
    for (int page = 0; page < tabs->count(); ++page) {
        tabs->setCurrentIndex(page);
        QWidget* pageWidget = tabs->widget(page);
        auto unitOf = [&](QWidget* w) {
            while (w->parentWidget() != pageWidget) w = w->parentWidget();
            return w;
        };
        tabs->tabBar()->setFocus(Qt::TabFocusReason);
        QTest::keyClick(tabs->tabBar(), Qt::Key_Tab);
        QWidget* first = QApplication::focusWidget();
        ASSERT_NE(first, nullptr);
        ASSERT_TRUE(pageWidget->isAncestorOf(first))
            << page << " " << first->objectName().toStdString();
        std::vector<QWidget*> units;
        for (QWidget* w = first; w && pageWidget->isAncestorOf(w);
             w = QApplication::focusWidget()) {
            if (units.empty() || units.back() != unitOf(w)) units.push_back(unitOf(w));
            QTest::keyClick(w, Qt::Key_Tab);
            if (units.size() > 100) break;
        }
        ASSERT_GT(units.size(), 2u) << page;
        std::vector<QWidget*> sorted = units;
        ui::sortByRows(sorted);
        auto names = [](const std::vector<QWidget*>& ws) {
            std::string s;
            for (QWidget* w : ws) s += w->objectName().toStdString() + " ";
            return s;
        };
        EXPECT_EQ(names(units), names(sorted)) << "page " << page;
    }
}

}  // namespace
}  // namespace korvel::testing
