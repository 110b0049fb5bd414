#pragma once

#include <QByteArray>
#include <QString>

// Which character set the bytes of a page are read in, decided once for the web engine and the
// full-text index alike, so that what is indexed is what the engine shows.
//
// A byte-order mark decides whatever else is said; then an encoding the user chose; then the page's
// own declaration (an XML declaration's encoding, a <meta> charset); the CHM file's code page
// applies only to pages that declare nothing.
namespace PageEncoding {

enum class Source {
    None,           // the page declares nothing
    ByteOrderMark,  // UTF-8 or UTF-16 mark at the start
    XmlDeclaration, // <?xml ... encoding="..."?>
    Meta,           // <meta charset> or <meta http-equiv="Content-Type" content="...; charset=...">
};

struct Declaration {
    Source source = Source::None;
    QString name;       // as declared; for a byte-order mark the encoding it marks
    int markLength = 0; // bytes of the byte-order mark
};

// What the page declares about its own encoding; the markup is read only as far as the start of
// its body (or 16 KiB), as the engine reads it.
Declaration declaredEncoding(const QByteArray& page);

// The encoding the engine reads the page in, and with which it is announced.
struct Decision {
    QString name;          // empty when nothing is known: the engine decides, the index reads UTF-8
    bool announce = false; // the name is to be sent as the page's charset
};

// `defaultName`: the document's encoding for pages without a declaration (the file's code page);
// `chosen`: whether that name is the user's explicit choice, which then applies to every page.
Decision decide(const QByteArray& page, const QString& defaultName, bool chosen);

// The page's text as the engine shows it under that decision.
QString decodePage(const QByteArray& page, const QString& defaultName, bool chosen);

} // namespace PageEncoding
