#include <gtest/gtest.h>

#include <QApplication>

// The widgets need an application object; test discovery runs without CTest's environment,
// so the offscreen platform is chosen here when nothing else is.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
