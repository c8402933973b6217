#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QStyle>
#include <QTabBar>

#include "tests/ui/window_rig.h"
#include "ui/classic_status_dialog.h"
#include "ui/message_log.h"
#include "ui/placement.h"
#include "ui/standard_status_dialog.h"

namespace korvel::testing {
namespace {

// Controls are the named widgets we made; Qt's own parts are named "qt_..." or
// live in a tab bar, and the pages of a tab control lie on one another by nature.
bool isControl(const QWidget* w) {
    const QWidget* parent = w->parentWidget();
    return !w->objectName().isEmpty() && !w->objectName().startsWith("qt_") &&
           qobject_cast<const QStackedWidget*>(parent) == nullptr &&
           qobject_cast<const QTabBar*>(parent) == nullptr;
}

// The width a control needs to show its whole caption; 0 for controls without one.
int captionWidth(const QWidget* w) {
    const QStyle* style = w->style();
    if (auto* button = qobject_cast<const QPushButton*>(w))
        return w->fontMetrics().horizontalAdvance(button->text()) + 6;
    if (auto* box = qobject_cast<const QCheckBox*>(w))
        return style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, w) +
               style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, w) +
               w->fontMetrics().horizontalAdvance(box->text());
    if (auto* option = qobject_cast<const QRadioButton*>(w))
        return style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, w) +
               style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, w) +
               w->fontMetrics().horizontalAdvance(option->text());
    return 0;
}

std::string nameOf(const QWidget* w) {
    const QVariant index = w->property("index");
    const std::string name = w->objectName().toStdString();
    return index.isValid() ? name + "(" + index.toString().toStdString() + ")" : name;
}

bool overlapNamed(const QWidget* a, const QWidget* b) {
    return a->property(ui::kOverlapsProperty).toString() == b->objectName() ||
           b->property(ui::kOverlapsProperty).toString() == a->objectName();
}

// Every control lies inside its parent, overlaps no sibling but the one its
// placement names, and shows its whole caption.
void expectSoundGeometry(QWidget* window) {
    QList<QWidget*> controls = window->findChildren<QWidget*>();
    controls.removeIf([](const QWidget* w) { return !isControl(w); });
    ASSERT_GT(controls.size(), 1);
    for (const QWidget* w : controls) {
        EXPECT_TRUE(w->parentWidget()->rect().contains(w->geometry())) << nameOf(w);
        EXPECT_LE(captionWidth(w), w->width()) << nameOf(w) << " clips its caption";
        for (const QWidget* other : controls) {
            if (other <= w || other->parentWidget() != w->parentWidget()) continue;
            EXPECT_TRUE(!w->geometry().intersects(other->geometry()) || overlapNamed(w, other))
                << nameOf(w) << " overlaps " << nameOf(other);
        }
    }
}

TEST_F(WindowTest, EveryWindowKeepsItsControlsApartAndWhole) {
    expectSoundGeometry(window.get());
    ui::MessageLogWindow log(nullptr);
    expectSoundGeometry(&log);
    ui::StandardStatusDialog standard(nullptr);
    expectSoundGeometry(&standard);
    ui::ClassicStatusDialog classic(nullptr);
    expectSoundGeometry(&classic);
}

}  // namespace
}  // namespace korvel::testing
