#pragma once

#include "toolkit/helpers/BlankPDFPages.h"
#include "toolkit/html/HTMLPrintSettings.h"

#include <QByteArray>
#include <QString>
#include <QVariantMap>

#include <vector>

// Printing plain text into PDF bytes in time and memory that follow the text's size: the text is
// laid out a few thousand lines at a time, each piece on pages of its own paper, and a line longer
// than a layout can take at once is broken before it (at a space where there is one).
namespace PlainTextPrinting {

// The longest line laid out as one paragraph, in characters.
inline constexpr qsizetype kMaxLineCharacters = 2000;

// The text as it is laid out: one line ending (a new line) for every kind of line ending, and no
// line longer than kMaxLineCharacters.
QString PreparedText(const QString& text);

struct Printed {
    QByteArray pdf;
    // By page: whether its lines hold more than a few characters that are not white space, or
    // none at all in attributes that draw nothing for white space.
    std::vector<KnownPage> pages;
};

// The PDF of the text with the attributes (TextAttributes) over it, or empty bytes when the
// margins leave no room.
Printed PrintToPDF(const QString& text, const QVariantMap& attributes, const HTMLPrintSettings& settings);

} // namespace PlainTextPrinting
