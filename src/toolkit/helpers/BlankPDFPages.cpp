#include "toolkit/helpers/BlankPDFPages.h"

#include "common/IsBlankPDFPage.h"
#include "toolkit/imageio/PopplerGlobals.h"

#include <PDFDoc.h>
#include <Stream.h>

#include <cstddef>

QList<int> BlankPageIndexes(const QByteArray& bytes, const std::vector<KnownPage>& known)
{
    EnsurePopplerGlobals();
    // The stream reads the caller's bytes in place; they outlive the document.
    auto stream = new MemStream(bytes.constData(), 0, bytes.size(), Object(objNull));
    PDFDoc document(stream); // takes the stream
    QList<int> blank;
    if (!document.isOk())
        return blank;
    for (int index = 0; index < document.getNumPages(); ++index) {
        const auto at = static_cast<std::size_t>(index);
        const KnownPage page = at < known.size() ? known[at] : KnownPage::Unknown;
        if (page == KnownPage::Blank || (page == KnownPage::Unknown && IsBlankPDFPage(&document, index)))
            blank << index;
    }
    return blank;
}
