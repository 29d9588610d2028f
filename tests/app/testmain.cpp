#include <QApplication>
#include <gtest/gtest.h>

// The application object lives for the whole run and goes before Qt's own test objects.
int main(int argc, char** argv)
{
    // Listing the tests at build time happens without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
