// Test entry for the widget tests: one QApplication for the whole run, on
// Qt's offscreen platform unless the environment names another.
#include <QApplication>
#include <cstdlib>
#include <gtest/gtest.h>

#include "PrivateConfig.h"

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const PrivateConfig config;
    QCoreApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings);
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
