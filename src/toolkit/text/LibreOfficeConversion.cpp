#include "toolkit/text/LibreOfficeConversion.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

namespace LibreOfficeConversion {

namespace {

QString SofficePath()
{
    return QStandardPaths::findExecutable(QStringLiteral("soffice"));
}

} // namespace

bool IsAvailable()
{
    return !SofficePath().isEmpty();
}

std::optional<QByteArray> Convert(const QByteArray& input, const QString& inputExtension, const QString& target,
                                  const QString& outputExtension, QString* error, int timeoutSeconds)
{
    auto fail = [&](const QString& why) -> std::optional<QByteArray> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    const QString soffice = SofficePath();
    if (soffice.isEmpty())
        return fail(QStringLiteral("LibreOffice (soffice) is not installed"));
    QTemporaryDir work;
    if (!work.isValid())
        return fail(QStringLiteral("no folder for the conversion"));
    const QDir folder(work.path());
    folder.mkpath(QStringLiteral("profile"));
    folder.mkpath(QStringLiteral("out"));
    const QString inputPath = folder.filePath(QStringLiteral("document.") + inputExtension);
    QFile inputFile(inputPath);
    if (!inputFile.open(QIODevice::WriteOnly) || inputFile.write(input) != input.size())
        return fail(QStringLiteral("the document for LibreOffice could not be written"));
    inputFile.close();

    QProcess process;
    process.setProgram(soffice);
    process.setArguments({QStringLiteral("-env:UserInstallation=")
                              + QUrl::fromLocalFile(folder.filePath(QStringLiteral("profile"))).toString(),
                          QStringLiteral("--headless"), QStringLiteral("--invisible"), QStringLiteral("--norestore"),
                          QStringLiteral("--nolockcheck"), QStringLiteral("--nodefault"),
                          QStringLiteral("--nofirststartwizard"), QStringLiteral("--convert-to"), target,
                          QStringLiteral("--outdir"), folder.filePath(QStringLiteral("out")), inputPath});
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start();
    if (!process.waitForStarted(30'000))
        return fail(QStringLiteral("LibreOffice did not start"));
    if (!process.waitForFinished(timeoutSeconds * 1000)) {
        process.kill();
        process.waitForFinished(10'000);
        return fail(QStringLiteral("LibreOffice did not finish in time"));
    }
    QFile output(folder.filePath(QStringLiteral("out/document.") + outputExtension));
    if (!output.open(QIODevice::ReadOnly) || output.size() == 0)
        return fail(QStringLiteral("LibreOffice made no document: ")
                    + QString::fromLocal8Bit(process.readAll()).trimmed());
    return output.readAll();
}

} // namespace LibreOfficeConversion
