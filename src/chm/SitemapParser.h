#pragma once

#include <QByteArray>
#include <QString>

class SitemapTreeBuilder;

namespace SitemapParser {

// Runs the HTML parser over exactly the sitemap bytes and hands the builder its "ul", "li" and
// "param" events. The bytes are decoded before parsing: in the charset the sitemap declares (a
// byte-order mark, an XML declaration, a <meta> charset), else as UTF-8 when they are valid UTF-8
// with multi-byte sequences, else in the named character set ("iso_8859_1" when the name is empty
// or unknown), with bad bytes replaced, so that one bad byte cannot end the
// parse and lose the rest of the tree.
void parse(const QByteArray& data, const QString& encodingName, SitemapTreeBuilder& builder);

} // namespace SitemapParser
