// A contents or index sitemap, parsed and built into a tree, its page list walked and looked up.
// The first byte chooses the character set the sitemap is read in.

#include "chm/CHMTableOfContent.h"
#include "chm/LinkItem.h"

#include "FuzzInput.h"

#include <array>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    static const std::array<const char*, 8> kEncodings{"", "CP1252", "CP932", "UTF-8", "CP1251", "CP936", "iso_8859_1", "x-none"};
    const QString encoding = QString::fromLatin1(kEncodings[data[0] % kEncodings.size()]);
    CHMTableOfContent toc(FuzzInput::bytes(data + 1, size - 1), encoding);
    toc.sort();
    // Each lookup walks the tree: a few pages are enough.
    for (const LinkItemPtr& page : toc.pageList().mid(0, 32)) {
        toc.getNextPage(page.get());
        toc.getPrevPage(page.get());
        if (!page->path().isEmpty())
            toc.itemForPath(page->path(), nullptr);
    }
    toc.itemForPath(QStringLiteral("/a b.htm"), nullptr);
    return 0;
}
