#pragma once

#include <QString>

// Qt's HTML importer and its layout take time that grows much faster than the page with the
// nesting of tables, lists and blocks. An untrusted page is bounded before it reaches them: tables
// nested beyond the readers' table bound lose their table tags (their text stays, as paragraphs of
// the enclosing cell), and containers nested beyond the block bound lose their tags (their content
// stays in the enclosing one).
namespace HTMLNesting {

QString Bounded(const QString& html);

} // namespace HTMLNesting
