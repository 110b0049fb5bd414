#pragma once

#include <QByteArray>
#include <QList>
#include <QSet>

#include <vector>

// What the maker of a PDF knows of a page before it is tested.
enum class KnownPage : unsigned char {
    Unknown,
    HoldsText, // more text than a blank page carries
    Blank,     // draws nothing at all
};

// Indexes (from 0) of the blank pages of the PDF in these bytes: pages that carry next to no text
// and draw nothing but white. None when the bytes are not a readable PDF. Pages the caller knows
// (by index in known) are taken as known, not tested: the test reads a page's whole text and draws it.
QList<int> BlankPageIndexes(const QByteArray& bytes, const std::vector<KnownPage>& known = {});

// The indexes as a set, to ask of each page of a long document.
inline QSet<int> AsSet(const QList<int>& indexes)
{
    return QSet<int>(indexes.begin(), indexes.end());
}
