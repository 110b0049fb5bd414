#pragma once

#include <QByteArray>
#include <QString>

class SitemapTreeBuilder;

namespace SitemapParser {

// Runs the HTML parser over exactly the sitemap bytes and hands the builder its "ul", "li" and
// "param" events. The bytes are decoded in the named character set ("iso_8859_1" when the name is
// empty or unknown) before parsing, with bad bytes replaced, so that one bad byte cannot end the
// parse and lose the rest of the tree.
void parse(const QByteArray& data, const QString& encodingName, SitemapTreeBuilder& builder);

} // namespace SitemapParser
