#include <QApplication>
#include <gtest/gtest.h>

// The window's tests need a QApplication (widgets); it runs on the offscreen platform.
int main(int argc, char** argv) {
    // Offscreen unless a platform is asked for (screenshots under Xvfb use xcb).
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
