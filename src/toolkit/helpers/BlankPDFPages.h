#pragma once

#include <QByteArray>
#include <QList>

// Indexes (from 0) of the blank pages of the PDF in these bytes: pages that carry next to no text
// and draw nothing but white. None when the bytes are not a readable PDF.
QList<int> BlankPageIndexes(const QByteArray& bytes);
