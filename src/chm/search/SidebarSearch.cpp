#include "chm/search/SidebarSearch.h"

#include "chm/CHMDocument.h"
#include "chm/search/CHMSearchIndex.h"
#include "chm/search/CHMSearchResult.h"

namespace SidebarSearch {

std::shared_ptr<CHMTableOfContent> searchInFile(const CHMDocument& document, const QString& text)
{
    const CHMSearchIndex* index = document.searchIndex();
    if (index != nullptr)
        index->waitUntilDone();
    if (text.isEmpty() || document.tocSource() == nullptr)
        return nullptr;
    auto result = std::make_shared<CHMSearchResult>(document.tocSource(), document.indexSource());
    if (index != nullptr) {
        for (const TextIndex::Match& match : index->textIndex().search(text))
            result->addPath(document.extractPathFromURL(match.url), match.score);
    }
    result->sort();
    return result;
}

std::shared_ptr<CHMTableOfContent> searchInIndex(const CHMDocument& document, const QString& text)
{
    if (text.isEmpty() || document.indexSource() == nullptr)
        return nullptr;
    return std::make_shared<CHMTableOfContent>(document.indexSource(), [&text](const LinkItem& item) {
        return item.name().startsWith(text, Qt::CaseInsensitive);
    });
}

} // namespace SidebarSearch
