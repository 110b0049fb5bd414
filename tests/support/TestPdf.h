#pragma once

#include <QByteArray>
#include <QList>

namespace TestPdf {

// A PDF file of the given objects, numbered from 1 in order; object 1 is the catalog.
QByteArray build(const QList<QByteArray>& objects);

// A stream object holding `data`, with extra dictionary entries.
QByteArray stream(const QByteArray& data, const QByteArray& extraEntries = {});

// A document of US Letter pages (612 x 792 points), one per content stream, whose text uses the
// standard font Helvetica as /F1.
QByteArray helveticaPages(const QList<QByteArray>& contents);

} // namespace TestPdf
