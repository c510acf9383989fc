// Test entry for the tests that need a real X server: the xcb platform when
// DISPLAY is set; without it every test skips itself.
#include <QApplication>
#include <cstdlib>
#include <gtest/gtest.h>

#include "PrivateConfig.h"

int main(int argc, char** argv)
{
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const PrivateConfig config;
    QCoreApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings);
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
