#include <gtest/gtest.h>

#include <QApplication>

#include "ui/style.h"

namespace {
QtMessageHandler defaultHandler = nullptr;

// The offscreen platform says so for every window it cannot raise; that is noise here.
void quietOffscreenNotes(QtMsgType type, const QMessageLogContext& context,
                         const QString& message) {
    if (message.startsWith("This plugin does not support")) return;
    if (defaultHandler) defaultHandler(type, context, message);
}
}  // namespace

int main(int argc, char** argv) {
    defaultHandler = qInstallMessageHandler(quietOffscreenNotes);
    // Test discovery runs this binary without the test environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    korvel::ui::applyApplicationStyle(app);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
