#include "toolkit-failures.h"

#include "toolkit-paths.h"
#include "toolkit-warnings.h"

#include "toolkit/converter/PDFSourceDocument.h"
#include "toolkit/imageio/ImageFileReader.h"
#include "toolkit/text/TextDocumentIO.h"
#include "toolkit/texttopdf/TextToPDFConverter.h"

#include <QFileInfo>
#include <QTextDocument>
#include <QUrl>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <algorithm>
#include <optional>

namespace {

bool IsPDF(const QString& path)
{
    return QFileInfo(path).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) == 0;
}

bool IsTextDocument(const QString& path)
{
    return TextToPDFConverter::IsRichTextFile(path) || QFileInfo(path).suffix() == QLatin1String("txt");
}

// The steps a PDF converter takes before it reads a page: opening, then unlocking with the password.
std::optional<QString> PDFFailure(const QString& path, const QString& password)
{
    const auto document = PDFSourceDocument::open(path, password.toUtf8());
    if (!document)
        return QStringLiteral("opening: it is not a PDF, or too damaged to be read");
    if (document->isUnlocked() || document->unlock(password.toUtf8()))
        return std::nullopt;
    return password.isEmpty() ? QStringLiteral("unlocking: it is encrypted and no password was given")
                              : QStringLiteral("unlocking: the password does not unlock it");
}

std::optional<QString> TextFailure(const QString& path)
{
    QTextDocument document;
    QString error;
    if (TextDocumentIO::Read(path, document, &error))
        return std::nullopt;
    return QStringLiteral("reading: %1").arg(error.isEmpty() ? QStringLiteral("unreadable") : error);
}

// A WebP file is decoded through its own codec, and an HTML file by the web engine: neither is asked.
std::optional<QString> ImageFailure(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("webp") || suffix.startsWith(QLatin1String("htm")))
        return std::nullopt;
    const WarningCapture capture(WarningCapture::Echo::Keep);
    if (!ReadImageRepresentations(QUrl::fromLocalFile(path)).empty())
        return std::nullopt;
    const QString why = capture.warnings().isEmpty() ? QStringLiteral("it is no picture this toolkit reads")
                                                     : capture.warnings().last();
    return QStringLiteral("reading: %1").arg(why);
}

std::optional<QString> SourceFailure(const QString& path, const QString& password)
{
    if (!PathExists(path))
        return QStringLiteral("opening: no such file");
    if (IsPDF(path))
        return PDFFailure(path, password);
    return IsTextDocument(path) ? TextFailure(path) : ImageFailure(path);
}

// What keeps a file from being made in the folder: it is missing, is no folder, or may not be written.
std::optional<QString> FolderFailure(const QString& folder)
{
    struct stat status {};
    const QByteArray bytes = PathBytes(folder);
    if (::stat(bytes.constData(), &status) != 0)
        return QStringLiteral("writing: the folder %1 does not exist").arg(folder);
    if (!S_ISDIR(status.st_mode))
        return QStringLiteral("writing: %1 is not a folder").arg(folder);
    if (::access(bytes.constData(), W_OK | X_OK) != 0)
        return QStringLiteral("writing: the folder %1 cannot be written (%2)")
            .arg(folder, QString::fromLocal8Bit(std::strerror(errno)));
    return std::nullopt;
}

std::optional<QString> DestinationFailure(const CommandRun& run)
{
    if (run.destination.isEmpty())
        return std::nullopt;
    if (run.destinationIsFolder)
        return FolderFailure(run.destination);
    return FolderFailure(run.destination.left(std::max<qsizetype>(run.destination.lastIndexOf(u'/'), 1)));
}

// The first of the run's warnings, which is where it went wrong; the rest were printed above.
QString WarningsTold(const QStringList& warnings)
{
    if (warnings.size() == 1)
        return warnings.first();
    return QStringLiteral("%1 (and %2 more warnings above)").arg(warnings.first()).arg(warnings.size() - 1);
}

} // namespace

QStringList FailureReasons(const CommandRun& run)
{
    const std::optional<QString> destination = DestinationFailure(run);
    QStringList reasons;
    for (const QString& source : run.sources) {
        if (const auto failure = SourceFailure(source, run.password))
            reasons << QStringLiteral("%1: %2").arg(source, *failure);
        else if (destination)
            reasons << QStringLiteral("%1: read").arg(source);
        else if (run.sources.size() == 1 && !run.warnings.isEmpty())
            reasons << QStringLiteral("%1: read; converting: %2").arg(source, WarningsTold(run.warnings));
        else
            reasons << QStringLiteral("%1: read; it failed while it was converted or written").arg(source);
    }
    if (!run.destination.isEmpty())
        reasons << QStringLiteral("destination: %1%2").arg(run.destination, destination ? QStringLiteral(": ") + *destination : QString());
    return reasons;
}
