// GoogleTest entry for the widget tests: they need a QApplication, except
// when the tests are only listed (at build time, possibly without a display).
#include <QApplication>
#include <gtest/gtest.h>

#include <optional>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    std::optional<QApplication> app;
    if (!GTEST_FLAG_GET(list_tests))
        app.emplace(argc, argv);
    return RUN_ALL_TESTS();
}
