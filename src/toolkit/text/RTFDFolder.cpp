#include "toolkit/text/RTFDFolder.h"

#include "toolkit/text/RTFReader.h"
#include "toolkit/text/RTFWriter.h"
#include "toolkit/text/TextDocumentFiles.h"
#include "toolkit/text/TextReadLimits.h"

#include <QDir>
#include <QFileInfo>
#include <QUuid>

namespace RTFDFolder {

bool Read(const QString& folderPath, QTextDocument& document, QString* error)
{
    const QDir folder(folderPath);
    const QString text = folder.filePath(QStringLiteral("TXT.rtf"));
    if (!QFileInfo(text).isFile()) {
        if (error)
            *error = QStringLiteral("an RTFD folder without TXT.rtf");
        return false;
    }
    const QByteArray rtf = TextDocumentFiles::ReadAtMost(text, TextReadLimits::kMaxDocumentBytes).value_or(QByteArray());
    const auto attachments = [&folder](const QString& name) -> QByteArray {
        // a name is a file of this folder, never a path out of it
        if (name.isEmpty() || name.contains(u'/') || name == QLatin1String("..") || name == QLatin1String("."))
            return {};
        const QFileInfo info(folder.filePath(name));
        if (!info.isFile() || info.isSymLink())
            return {};
        return TextDocumentFiles::ReadAtMost(info.filePath(), TextReadLimits::kMaxEmbeddedObjectBytes)
            .value_or(QByteArray());
    };
    return RTFReader::Read(rtf, document, error, attachments);
}

bool Write(const QTextDocument& document, const QString& folderPath, QString* error)
{
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    const QFileInfo target(folderPath);
    if (target.exists() || target.isSymLink())
        return fail(QStringLiteral("the RTFD folder exists already"));
    const QString scratch = target.absolutePath() + QStringLiteral("/.") + target.fileName() + u'-'
                            + QUuid::createUuid().toString(QUuid::WithoutBraces);
    QDir scratchDir(scratch);
    if (!QDir().mkpath(scratch))
        return fail(QStringLiteral("the RTFD folder could not be made"));
    bool written = true;
    int count = 0;
    const QByteArray rtf = RTFWriter::Write(document, [&](const QByteArray& png) -> QString {
        const QString name = QStringLiteral("image%1.png").arg(++count);
        if (!TextDocumentFiles::Save(scratchDir.filePath(name), png)) {
            written = false;
            return {};
        }
        return name;
    });
    written = written && TextDocumentFiles::Save(scratchDir.filePath(QStringLiteral("TXT.rtf")), rtf);
    if (!written || !QDir().rename(scratch, target.absoluteFilePath())) {
        scratchDir.removeRecursively();
        return fail(QStringLiteral("the RTFD folder could not be written"));
    }
    return true;
}

} // namespace RTFDFolder
