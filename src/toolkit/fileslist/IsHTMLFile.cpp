#include "toolkit/Toolkit.h"

#include <QFileInfo>
#include <QMimeDatabase>
#include <QStringList>

bool IsHTMLFile(const QUrl& url)
{
    // The name decides, never the content: a file without an extension is no HTML file, whatever
    // it holds. An existing file's extension names its type as the file system would, in any case.
    const QString path = url.path();
    if (url.isLocalFile() && QFileInfo::exists(path)
        && QMimeDatabase().mimeTypeForFile(path, QMimeDatabase::MatchExtension).name() == QLatin1String("text/html"))
        return true;
    // Spelled exactly: these are the spellings pages are saved under.
    static const QStringList kExtensions = {QStringLiteral("html"), QStringLiteral("HTML"), QStringLiteral("htm"),
                                            QStringLiteral("HTM"), QStringLiteral("svg"), QStringLiteral("asp"),
                                            QStringLiteral("aspx"), QStringLiteral("jsp"), QStringLiteral("xhtml")};
    return kExtensions.contains(QFileInfo(path).suffix());
}
