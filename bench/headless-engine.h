#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QtGlobal>

#include <unistd.h>

// Before the application exists: the benches run the web engine headless, and its sandbox refuses
// to start as root (a container, a build machine), where pages print as the application prints them.
inline void prepareHeadlessEngine()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (::geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}
