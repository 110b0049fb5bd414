#include "app/window/WindowIcons.h"

#include "app/AppInfo.h"

#include <QFile>

// The images are compiled into this static library; their registration must be pulled in by hand.
static void ensureWindowIconResources()
{
    Q_INIT_RESOURCE(windowicons);
}

namespace {

QIcon IconAt(const QString& resourcePath)
{
    ensureWindowIconResources();
    // QIcon does not check the file: a missing one would draw nothing without saying so.
    return QFile::exists(resourcePath) ? QIcon(resourcePath) : QIcon();
}

} // namespace

QIcon TemplateImage(const QString& name)
{
    return IconAt(QStringLiteral(":/icons/%1.svg").arg(name));
}

QIcon ApplicationIcon()
{
    return IconAt(QStringLiteral(":/icons/%1.svg").arg(AppInfo::kBundleIdentifier));
}
