#include "tests/ui/window_fixture.h"

#include <QComboBox>

namespace korvel::testing {

void WindowTest::pickPort1() {
    auto* cbo = find<QComboBox>("cboPort");
    const int index = cbo->findText(" 1");
    ASSERT_GE(index, 0);
    cbo->setCurrentIndex(index);
    emit cbo->activated(index);
    ASSERT_TRUE(port.isOpen());
}

void WindowTest::screenshot(QWidget* w, const QString& name) {
    QDir().mkpath(KORVEL_SCREENSHOT_DIR);
    QApplication::processEvents();
    EXPECT_TRUE(w->grab().save(QString(KORVEL_SCREENSHOT_DIR) + "/" + name + ".png"));
}

}  // namespace korvel::testing
