#include "HTMLTestRun.h"

#include "support/TestSupport.h"

#include <QEventLoop>
#include <QFile>
#include <QMetaObject>

#include <thread>

namespace HTMLTestRun {

void offMainThread(const std::function<void()>& work)
{
    QEventLoop loop;
    std::thread worker([&] {
        work();
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
}

QUrl fixture(const QString& name)
{
    return QUrl::fromLocalFile(TestSupport::sourceDataPath(QStringLiteral("toolkit-html/") + name));
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace HTMLTestRun
