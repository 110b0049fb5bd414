#include "app/AppDelegate.h"
#include "app/AppInfo.h"
#include "app/window/MainWindow.h"
#include "chm/ITSSScheme.h"

#include <QApplication>
#include <QStringList>

#include <unistd.h>

namespace {

// The web engine's sandbox refuses to start for root; pages of CHM files are kept from reaching
// anything by the export itself.
void AllowWebEngineWithoutSandboxForRoot()
{
    if (::geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}

} // namespace

int main(int argc, char** argv)
{
    AllowWebEngineWithoutSandboxForRoot();
    // Every web page of the process loads CHM content through this scheme; the engine only takes
    // schemes made known before the application object exists.
    registerITSSScheme();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);

    QApplication application(argc, argv);
    // Settings and preference files live in $XDG_CONFIG_HOME/<bundle id>/.
    QCoreApplication::setOrganizationName(AppInfo::kBundleIdentifier);
    QCoreApplication::setApplicationName(AppInfo::kApplicationName);
    QCoreApplication::setApplicationVersion(QStringLiteral(TOMEFOLD_VERSION));
    QGuiApplication::setDesktopFileName(AppInfo::kBundleIdentifier);
    // The delegate decides when closing the window ends the application (not during a batch).
    QApplication::setQuitOnLastWindowClosed(false);

    AppDelegate delegate;
    QObject::connect(&delegate, &AppDelegate::terminateRequested, &application, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    delegate.mainWindow()->show();
    delegate.openFiles(QApplication::arguments().mid(1));
    return application.exec();
}
