#pragma once

#include "toolkit/text/ZipPackage.h"

#include <QByteArray>
#include <QString>
#include <QTextDocument>

// How the office readers hand a document over: it is emptied first, a parser fills it, and a
// failed read leaves it empty. The parser ends its work on the document (its builder finishes)
// before a failed one is emptied, so nothing it wrote outlives the failure.
namespace DocumentReading {

// read(parser) parses into the emptied document; package may be null for a lone XML part.
template <class Parser, class Read>
bool FillOrEmpty(QTextDocument& document, ZipPackageReader* package, Read read)
{
    bool done = false;
    {
        Parser parser(document, package);
        done = read(parser);
    }
    if (!done)
        document.clear();
    return done;
}

// A lone XML part, outside any package.
template <class Parser, class Read>
bool ReadPartWith(QTextDocument& document, Read read)
{
    document.clear();
    return FillOrEmpty<Parser>(document, nullptr, read);
}

// A zipped package, read by the parser's readPackage(error).
template <class Parser>
bool ReadPackageWith(const QByteArray& bytes, QTextDocument& document, QString* error)
{
    document.clear();
    auto zip = ZipPackageReader::open(bytes, error);
    if (!zip)
        return false;
    return FillOrEmpty<Parser>(document, zip.get(), [error](Parser& parser) { return parser.readPackage(error); });
}

} // namespace DocumentReading
