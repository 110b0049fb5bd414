#include "toolkit/Toolkit.h"

#include "toolkit/helpers/ImageTypeCodes.h"

#include <QFileInfo>
#include <QStringList>

bool IsHTMLFile(const QUrl& url)
{
    if (TypeIdentifierOfURL(url) == QLatin1String("public.html"))
        return true;
    // Spelled exactly: these are the spellings pages are saved under.
    static const QStringList kExtensions = {QStringLiteral("html"), QStringLiteral("HTML"), QStringLiteral("htm"),
                                            QStringLiteral("HTM"), QStringLiteral("svg"), QStringLiteral("asp"),
                                            QStringLiteral("aspx"), QStringLiteral("jsp"), QStringLiteral("xhtml")};
    return kExtensions.contains(QFileInfo(url.path()).suffix());
}
