#include <gtest/gtest.h>

#include <QCoreApplication>

int main(int argc, char** argv) {
    // QSerialPort and QSaveFile need an application object, not a running event loop.
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
