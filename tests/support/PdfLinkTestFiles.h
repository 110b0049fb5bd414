#pragma once

#include <QByteArray>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <map>
#include <optional>
#include <vector>

// PDF documents with link annotations, made and read back with qpdf for tests.
namespace PdfLinkTestFiles {

// One annotation to put on a page: a link with a URI action, a link with a named /Dest, or
// (neither given) a text note that is no link at all.
struct Annotation {
    QString uri;
    QString destName;
};

// One page per entry, each showing "Page N" and carrying the entry's annotations in order.
// namedPages: the catalog's /Dests, each name leading to /XYZ 72 top on the page of that index
// (without a top: /XYZ 72 null, a place with no height of its own).
QByteArray pagesWithAnnotations(const std::vector<std::vector<Annotation>>& pages,
                                const std::map<QString, int>& namedPages = {},
                                std::optional<double> top = 700.0);

// An annotation of a written document as a viewer would follow it.
struct ReadAnnotation {
    QString subtype;   // "/Link", "/Text", ...
    QString uri;       // URI action target, null when none
    int destPage = -1; // page index of an explicit /Dest, -1 when none
    QPointF destPoint; // its /XYZ left and top
    bool hasNamedDest = false;
    QRectF rect;
    int flags = -1; // its /F, -1 when none
};
std::vector<ReadAnnotation> annotationsOfPage(const QByteArray& pdf, int pageIndex);

// An outline entry of a written document.
struct ReadOutline {
    QString title;
    int destPage = -1;
    QPointF destPoint;
    std::vector<ReadOutline> children;
};
std::vector<ReadOutline> outlineOf(const QByteArray& pdf);
// "title(page)[children]" for each top-level entry, joined by spaces: the shape in one string.
QString outlineShape(const std::vector<ReadOutline>& entries);

} // namespace PdfLinkTestFiles
