#include <QGuiApplication>
#include <gtest/gtest.h>

// Every test program runs with a QGuiApplication on the offscreen platform, so fonts, images and
// PDF painting work without a display.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
