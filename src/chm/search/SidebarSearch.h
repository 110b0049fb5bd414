#pragma once

#include <QString>

#include <memory>

class CHMDocument;
class CHMTableOfContent;

// The two searches of the reader's sidebar. Each gives the list the search view shows, or null
// when it shows nothing (no search text, or no tree to search). A search result is held by a
// shared pointer, which deletes it as what it is: the tree class has no virtual destructor.
namespace SidebarSearch {

// The full text of every object, ranked by relevance; waits for the document's index build. The
// hits are named after the contents tree's nodes, else the index tree's.
std::shared_ptr<CHMTableOfContent> searchInFile(const CHMDocument& document, const QString& text);

// The index tree's top-level keywords that begin with the text, in any case.
std::shared_ptr<CHMTableOfContent> searchInIndex(const CHMDocument& document, const QString& text);

} // namespace SidebarSearch
