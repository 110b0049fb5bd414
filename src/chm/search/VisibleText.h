#pragma once

#include <QString>

// The text a reader sees of an HTML page, for the full-text index: markup, comments, scripts and
// style sheets left out, character references decoded, and a blank wherever a tag that is not
// inline separates words ("<td>a</td><td>b</td>" gives two words, "B<b>ee</b>" one). The title
// is kept: the reader shows it as the topic's name.
namespace VisibleText {

QString fromHtml(const QString& html);

} // namespace VisibleText
