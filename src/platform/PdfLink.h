#pragma once

#include <QPointF>
#include <QString>

#include <optional>
#include <string>

// A place in a PDF document: a page and a point on it in page space (origin bottom left, y up).
struct PdfDestination {
    int pageIndex = 0;
    QPointF point;
};

// A place the document names: the key of its /Dests entry (or name tree) and where it lies.
struct PdfNamedPlace {
    std::string name;
    PdfDestination place;
};

// One annotation of a page, as far as links go.
struct PdfLinkAnnotation {
    // A "Link" annotation; the other fields are empty for any other kind.
    bool isLink = false;
    // The target of its URI action; null when it has none.
    QString url;
    // A jump the engine printed to a named place of the same printed document. Such names mean
    // nothing once the page is in another document, so the place is looked up when the page is
    // copied; jumpTarget is where it ended up, or empty when its page was not kept.
    bool jumpsInDocument = false;
    std::optional<PdfDestination> jumpTarget;
};
