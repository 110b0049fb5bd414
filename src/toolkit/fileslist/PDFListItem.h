#pragma once

#include "toolkit/options/ConversionListItem.h"

#include <QByteArray>

#include <memory>

class PdfDocument;

// A PDF item of a list, opened with its password, and what the runners may do with it.
struct PDFListItem {
    enum class State {
        Missing,    // no file at its path
        Unreadable, // not a PDF that opens
        Locked,     // encrypted, and its password does not open it
        Forbidden,  // encrypted, and its author forbids printing it
        Empty,      // opens, but has no page
        Usable,
    };

    static PDFListItem open(const ConversionListItem& item);

    State state = State::Missing;
    std::unique_ptr<PdfDocument> document; // set when Empty or Usable

    // Names the file and why it was not taken, for a Locked or Forbidden item.
    void warnNotTaken(const ConversionListItem& item, const QString& outcome) const;
};

// Adds the angle to the rotation of every page. A page whose new rotation would not be a multiple
// of 90 keeps the one it has: no reader shows a page at another angle.
void RotatePages(PdfDocument& document, int angle);
