#include "platform/DesktopOpener.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStandardPaths>

#include <memory>
#include <utility>

namespace DesktopOpener {

QString program()
{
    return QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
}

void open(const QString& path, std::function<void(bool opened)> done)
{
    const QString opener = program();
    if (opener.isEmpty()) {
        if (done)
            done(false);
        return;
    }
    // No parent: the opener may run for as long as the program it started (the generic road
    // waits for it), and must not be killed when the application ends before it.
    auto* process = new QProcess;
    process->setProgram(opener);
    process->setArguments({path});
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    auto report = std::make_shared<std::function<void(bool)>>(std::move(done));
    QObject::connect(process, &QProcess::errorOccurred, process, [process, report](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        if (*report)
            std::exchange(*report, nullptr)(false);
        process->deleteLater();
    });
    QObject::connect(process, &QProcess::finished, process, [process, report](int exitCode, QProcess::ExitStatus status) {
        if (*report)
            std::exchange(*report, nullptr)(status == QProcess::NormalExit && exitCode == 0);
        process->deleteLater();
    });
    process->start();
}

} // namespace DesktopOpener
