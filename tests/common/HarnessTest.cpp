#include <QApplication>
#include <QFile>
#include <gtest/gtest.h>

#include "support/TestSupport.h"

TEST(Harness, RunsWithAnOffscreenApplication)
{
    ASSERT_NE(qApp, nullptr);
    EXPECT_EQ(QGuiApplication::platformName(), QStringLiteral("offscreen"));
}
