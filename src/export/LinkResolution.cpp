#include "export/LinkResolution.h"

#include "platform/PdfDocument.h"

#include <QUrl>

namespace {

QString unescaped(const QString& text)
{
    // Escaped capitals (a non-ASCII path is always escaped) must meet lower-cased keys too.
    return QUrl::fromPercentEncoding(text.toUtf8()).toLower();
}

// Where one link of the page should lead; empty when it is to be removed.
std::optional<PdfDestination> targetOf(const PdfLinkAnnotation& link, bool exportHyperlinks,
                                       const DestinationLookup& lookup)
{
    if (!exportHyperlinks)
        return std::nullopt;
    if (link.jumpsInDocument && link.url.isNull())
        return link.jumpTarget;
    return lookup(link.url);
}

} // namespace

QStringList DestinationKeysForURL(const QString& urlString)
{
    const QString lower = urlString.toLower();
    QStringList keys{lower, unescaped(lower)};
    const qsizetype hash = lower.indexOf(QLatin1Char('#'));
    if (hash >= 0) {
        const QString topic = lower.left(hash);
        keys << topic << unescaped(topic);
    }
    keys.removeDuplicates();
    return keys;
}

bool IsInternalLinkURL(const QString& urlString)
{
    return urlString.startsWith(QLatin1String("itss:"));
}

void ResolvePageLinks(PdfDocument& document, int pageIndex, bool exportHyperlinks, const DestinationLookup& lookup)
{
    int count = document.annotationCount(pageIndex);
    for (int index = 0; index < count;) {
        const PdfLinkAnnotation link = document.annotationAt(pageIndex, index);
        const bool internal = link.isLink && (IsInternalLinkURL(link.url) || (link.jumpsInDocument && link.url.isNull()));
        if (!internal) {
            ++index;
            continue;
        }
        const std::optional<PdfDestination> target = targetOf(link, exportHyperlinks, lookup);
        if (target && document.setAnnotationDestination(pageIndex, index, *target)) {
            ++index;
            continue;
        }
        // The next annotation moves into this index.
        if (!document.removeAnnotation(pageIndex, index))
            ++index;
        count = document.annotationCount(pageIndex);
    }
}

void ResolveHeldPageLinks(PdfDocument& document, int pageIndex, bool exportHyperlinks, const DestinationLookup& lookup)
{
    const int count = document.heldLinkCount(pageIndex);
    for (int index = 0; index < count; ++index) {
        const std::optional<PdfDestination> target = targetOf(document.heldLinkAt(pageIndex, index), exportHyperlinks, lookup);
        // A link whose destination cannot be set goes, like one without any.
        if (!target || !document.setHeldLinkDestination(pageIndex, index, target))
            document.setHeldLinkDestination(pageIndex, index, std::nullopt);
    }
}
