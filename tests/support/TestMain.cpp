#include "support/TestHangGuards.h"

#include <QApplication>
#include <gtest/gtest.h>

// A test program that loads pages in the web engine defines this to register its URL schemes,
// which must happen before the application object exists.
void registerTestUrlSchemes() __attribute__((weak));

// Every test program shares this main: widgets and web pages need an application object,
// and tests run without a display.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    testing::InitGoogleTest(&argc, argv);
    TestHangGuards::installFromEnvironment();
    if (registerTestUrlSchemes)
        registerTestUrlSchemes();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
