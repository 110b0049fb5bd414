#include "chm/CHMDocument.h"
#include "chm/search/CHMSearchIndex.h"

void CHMDocument::prepareSearchIndex()
{
    skIndex.reset();
    skIndex = std::make_unique<CHMSearchIndex>();
    skIndex->startBuild(*this);
}
